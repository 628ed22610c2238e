# Installation and the Debian package (cpack -G DEB in the build folder). The installed
# program finds its default settings file and tag database in share/pagekiln and copies
# them into the user's configuration folder at its first start.
include(GNUInstallDirs)
install(TARGETS pagekiln RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/pageKiln.INI resources/TagDB.TXT DESTINATION ${CMAKE_INSTALL_DATADIR}/pagekiln)

# The launcher names the installed program by the prefix chosen at install time.
install(CODE "
  set(PAGEKILN_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pagekiln\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/resources/pagekiln.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/pagekiln.desktop\" @ONLY)
")
install(FILES resources/pagekiln.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/${size}/pagekiln.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES resources/pagekiln.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME org.pagekiln.pageKiln.metainfo.xml)

# Site definitions (*.ksd) get a type of their own, which the launcher opens. A package
# leaves the MIME database to the system's triggers; an install into a folder of one's
# own refreshes it there.
install(FILES resources/pagekiln-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME pagekiln.xml)
install(CODE "
  find_program(UPDATE_MIME_DATABASE update-mime-database)
  if(UPDATE_MIME_DATABASE AND NOT DEFINED ENV{DESTDIR})
    execute_process(COMMAND \${UPDATE_MIME_DATABASE} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\"
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
")

# What Debian asks of every package: the copyright and a compressed change log.
set(PAGEKILN_DOC ${CMAKE_CURRENT_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${PAGEKILN_DOC})
configure_file(LICENSE ${PAGEKILN_DOC}/copyright COPYONLY)
configure_file(resources/changelog ${PAGEKILN_DOC}/changelog COPYONLY)
add_custom_command(OUTPUT ${PAGEKILN_DOC}/changelog.gz
                   COMMAND gzip -n -9 -f -k ${PAGEKILN_DOC}/changelog
                   DEPENDS ${PAGEKILN_DOC}/changelog VERBATIM)
add_custom_target(pagekiln_doc ALL DEPENDS ${PAGEKILN_DOC}/changelog.gz)
install(FILES ${PAGEKILN_DOC}/copyright ${PAGEKILN_DOC}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pagekiln)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagekiln)
set(CPACK_PACKAGE_VENDOR "the pageKiln developers")
set(CPACK_PACKAGE_CONTACT "pageKiln developers <pagekiln@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the HTML pages of a small web site")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "pageKiln edits the several HTML pages of a small web site together. A site\n"
    "definition file (.ksd) lists the pages; a site tree shows each page's title,\n"
    "file name and links; every page has its own editor with save, save as and a\n"
    "browser preview; a tag palette types HTML snippets into the active editor.\n"
    "Pages in Shift-JIS or UTF-8; Japanese user interface.")
# The package installs under /usr through DESTDIR, so that the launcher's command names
# /usr/bin/pagekiln and not the folder the package is assembled in.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The browser preview and the live preview open pages through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
