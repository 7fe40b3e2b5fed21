# What a user installs: a Debian package on Linux, a zip on Windows (scripts/package).
# Version and name come from the project's one declaration.
set(ZANFO_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/res/package)
set(ZANFO_PACKAGE_BUILD ${PROJECT_BINARY_DIR}/package)

set(CPACK_PACKAGE_NAME zanfo-md5)
set(CPACK_PACKAGE_VENDOR Zanfo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zanfo <support@zanfo.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Show a file's MD5 digest and look it up on the Zanfo file clinic")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  configure_file(${ZANFO_PACKAGE_DIR}/README-windows.txt ${ZANFO_PACKAGE_BUILD}/README.txt @ONLY)
  install(FILES ${ZANFO_PACKAGE_BUILD}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME zanfo-md5-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  configure_file(${ZANFO_PACKAGE_DIR}/metainfo.xml.in ${ZANFO_PACKAGE_BUILD}/${ZANFO_DESKTOP_ID}.metainfo.xml @ONLY)
  foreach(page zanfo-md5.1 zanfo-md5-cli.1)
    configure_file(${ZANFO_PACKAGE_DIR}/${page}.in ${ZANFO_PACKAGE_BUILD}/${page} @ONLY)
  endforeach()
  file(WRITE ${ZANFO_PACKAGE_BUILD}/changelog
       "zanfo-md5 (${PROJECT_VERSION}) stable; urgency=medium\n\n  * Release ${PROJECT_VERSION}.\n\n"
       " -- ${CPACK_PACKAGE_CONTACT}  Mon, 07 Dec 2026 12:00:00 +0000\n")
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
