# Builds the Windows installer from res/package/zanfo-md5.wxs with wixl, bit for bit the same from
# the same programs (wixl takes its dates from the clock, so it runs under faketime).
#   cmake -DVERSION=1.2.3.0 -DEPOCH=<seconds> -DSOURCE_DIR=<tree> -DWINDOW=<exe> -DCOMPANION=<exe>
#         -DOUTPUT=<msi> -P BuildMsi.cmake
# The product code follows the version, so each version is a product of its own that replaces the
# one before it; the package code follows the content.
cmake_minimum_required(VERSION 3.16)
foreach(name VERSION EPOCH SOURCE_DIR WINDOW COMPANION OUTPUT)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "BuildMsi.cmake needs -D${name}=")
  endif()
endforeach()
set(upgrade_code D6169969-FF8B-401B-AED1-6F5E6E1CA03A)  # the one in zanfo-md5.wxs

# wixl takes the files by names relative to where it runs, with their times.
get_filename_component(stage ${OUTPUT}.stage ABSOLUTE)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY ${WINDOW} ${COMPANION} ${SOURCE_DIR}/LICENSE ${SOURCE_DIR}/res/icons/zanfo-md5.ico DESTINATION ${stage})
file(GLOB staged ${stage}/*)
list(SORT staged)
execute_process(COMMAND touch -d @${EPOCH} ${staged} COMMAND_ERROR_IS_FATAL ANY)

set(content ${VERSION})
foreach(file ${staged})
  file(SHA256 ${file} hash)
  string(APPEND content " ${hash}")
endforeach()
string(UUID product_code NAMESPACE ${upgrade_code} NAME "product ${VERSION}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${upgrade_code} NAME "package ${content}" TYPE SHA1 UPPER)

set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP frozen_clock "%Y-%m-%d %H:%M:%S" UTC)
set(ENV{TZ} UTC)
get_filename_component(output ${OUTPUT} ABSOLUTE)
execute_process(COMMAND faketime ${frozen_clock} wixl --arch x64 -D Version=${VERSION} -D ProductCode=${product_code}
                        --output ${output} ${SOURCE_DIR}/res/package/zanfo-md5.wxs
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
# wixl picks a random package code; a package's code names its content.
execute_process(COMMAND faketime ${frozen_clock} msibuild ${output} -s "Zanfo MD5 ${VERSION}" Zanfo "x64;1033" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)
# Windows Installer compares three parts of a version, so the upgrade also replaces a product
# whose first three are the same (a release that changes only the fourth): its upper bound
# includes itself (0x200), as WiX's AllowSameVersionUpgrades makes it, which wixl does not know.
execute_process(COMMAND msiinfo export ${output} Upgrade OUTPUT_FILE ${stage}/Upgrade.idt COMMAND_ERROR_IS_FATAL ANY)
file(READ ${stage}/Upgrade.idt upgrade_table)
string(REPLACE "\t1\t\tWIX_UPGRADE_DETECTED" "\t513\t\tWIX_UPGRADE_DETECTED" inclusive_table "${upgrade_table}")
if(inclusive_table STREQUAL upgrade_table)
  message(FATAL_ERROR "wixl's upgrade row is not the one expected:\n${upgrade_table}")
endif()
file(WRITE ${stage}/Upgrade.idt "${inclusive_table}")
execute_process(COMMAND faketime ${frozen_clock} msibuild ${output} -i ${stage}/Upgrade.idt COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
