# What a user installs: a Debian package on Linux, an installer and a zip on Windows
# (scripts/package). Version and name come from the project's one declaration.
set(ZANFO_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/res/package)
set(ZANFO_PACKAGE_BUILD ${PROJECT_BINARY_DIR}/package)

set(CPACK_PACKAGE_NAME zanfo-md5)
set(CPACK_PACKAGE_VENDOR Zanfo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zanfo <support@zanfo.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Show a file's MD5 digest and look it up on the Zanfo file clinic")
set(CPACK_STRIP_FILES ON)
# Every date in a package is the release's: the commit's time, which scripts/package passes.
set(ZANFO_RELEASE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING "The release's time in seconds since 1970, for the packages' dates")
if(ZANFO_RELEASE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} ${ZANFO_RELEASE_EPOCH})
endif()
# Without one, now.
string(TIMESTAMP release_seconds "%s" UTC)
string(TIMESTAMP release_day "%Y-%m-%d" UTC)
string(TIMESTAMP release_date "%a, %d %b %Y %H:%M:%S +0000" UTC)

if(WIN32)
  # Notepad before Windows 10 (1809) shows a text without CRs as one line.
  configure_file(${ZANFO_PACKAGE_DIR}/README-windows.txt ${ZANFO_PACKAGE_BUILD}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${ZANFO_PACKAGE_BUILD}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  # scripts/package zips what this installs, in a folder of its own.
  # The installer, beside the zip: cmake --build ... --target zanfo_msi (needs wixl and faketime).
  if(ZANFO_BUILD_GUI)
    add_custom_target(zanfo_msi
                      COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DEPOCH=${release_seconds}
                              -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DWINDOW=$<TARGET_FILE:zanfo-md5>
                              -DCOMPANION=$<TARGET_FILE:zanfo-md5-cli>
                              -DOUTPUT=${PROJECT_BINARY_DIR}/zanfo-md5-${PROJECT_VERSION}-win64.msi
                              -P ${PROJECT_SOURCE_DIR}/cmake/BuildMsi.cmake
                      DEPENDS zanfo-md5 zanfo-md5-cli VERBATIM)
  endif()
else()
  include(GNUInstallDirs)
  configure_file(${ZANFO_PACKAGE_DIR}/metainfo.xml.in ${ZANFO_PACKAGE_BUILD}/${ZANFO_DESKTOP_ID}.metainfo.xml @ONLY)
  foreach(page zanfo-md5.1 zanfo-md5-cli.1)
    configure_file(${ZANFO_PACKAGE_DIR}/${page}.in ${ZANFO_PACKAGE_BUILD}/${page} @ONLY)
  endforeach()
  file(WRITE ${ZANFO_PACKAGE_BUILD}/changelog
       "zanfo-md5 (${PROJECT_VERSION}) stable; urgency=medium\n\n  * Release ${PROJECT_VERSION}.\n\n"
       " -- ${CPACK_PACKAGE_CONTACT}  ${release_date}\n")
  # Debian keeps manual pages and changelogs compressed, reproducibly (no name, no time).
  foreach(page zanfo-md5.1 zanfo-md5-cli.1 changelog)
    add_custom_command(OUTPUT ${ZANFO_PACKAGE_BUILD}/${page}.gz
                       COMMAND gzip -9nc ${ZANFO_PACKAGE_BUILD}/${page} > ${ZANFO_PACKAGE_BUILD}/${page}.gz
                       DEPENDS ${ZANFO_PACKAGE_BUILD}/${page} VERBATIM)
  endforeach()
  add_custom_target(zanfo_package_docs ALL DEPENDS ${ZANFO_PACKAGE_BUILD}/zanfo-md5.1.gz ${ZANFO_PACKAGE_BUILD}/zanfo-md5-cli.1.gz
                                                  ${ZANFO_PACKAGE_BUILD}/changelog.gz)
  install(FILES ${ZANFO_PACKAGE_BUILD}/${ZANFO_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${ZANFO_PACKAGE_BUILD}/zanfo-md5.1.gz ${ZANFO_PACKAGE_BUILD}/zanfo-md5-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ZANFO_PACKAGE_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zanfo-md5)
  install(FILES ${ZANFO_PACKAGE_BUILD}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zanfo-md5 RENAME changelog.gz)  # a native package
  # Debian strips the comment section the compilers and the C runtime's objects leave.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program zanfo-md5 zanfo-md5-cli)
        set(installed \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZANFO_INSTALL_BIN}/\${program}\")
        if(EXISTS \"\${installed}\")
          execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment \"\${installed}\" COMMAND_ERROR_IS_FATAL ANY)
        endif()
      endforeach()
    endif()")
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk, qt6-translations-l10n")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://www.zanfo.com/)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PACKAGE_DESCRIPTION
      "Choose a file or drop it on the window: the tool shows its MD5 digest, its\n"
      "size and name, and the version strings of a Windows executable. A Query\n"
      "button opens the Zanfo file-reputation service's page for the digest.\n"
      "zanfo-md5-cli prints and checks md5sum's formats.")
  string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
endif()
include(CPack)
