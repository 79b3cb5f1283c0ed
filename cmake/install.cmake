# Quillet as an installed desktop application: the executable and its window
# program (lib/quillet/quillet-window), its menu entry,
# the icon in the hicolor theme, AppStream metainfo, the manual page and bash
# completion, and a Debian package of all of it (cpack -G DEB).
#
# The version is the project's (top-level project()); it reaches the program,
# the metainfo, the manual page and the package from here.
include(GNUInstallDirs)

# The project has no public home yet: these are placeholders, kept together so
# that a real domain changes them in one go.
set(QUILLET_APP_ID "org.example.quillet"
    CACHE STRING "Reverse-DNS application id: names of the menu entry, icon and metainfo")
set(QUILLET_HOMEPAGE "https://quillet.example.org" CACHE STRING "Home page")
set(QUILLET_SCREENSHOTS_URL "${QUILLET_HOMEPAGE}/docs"
    CACHE STRING "Where docs/window.png and docs/page.png are published")

target_compile_definitions(quillet PRIVATE QUILLET_VERSION="${PROJECT_VERSION}"
                                           QUILLET_APP_ID="${QUILLET_APP_ID}")
if(TARGET quillet-window)
  target_compile_definitions(quillet-window PRIVATE QUILLET_VERSION="${PROJECT_VERSION}"
                                                  QUILLET_APP_ID="${QUILLET_APP_ID}")
endif()

set(QUILLET_DATA_DIR ${PROJECT_BINARY_DIR}/data)
set(QUILLET_MANUAL_PAGE ${QUILLET_DATA_DIR}/quillet.1)
set(QUILLET_DESKTOP_FILE ${QUILLET_DATA_DIR}/${QUILLET_APP_ID}.desktop)
set(QUILLET_METAINFO_FILE ${QUILLET_DATA_DIR}/${QUILLET_APP_ID}.metainfo.xml)
set(QUILLET_ICON_DIR ${PROJECT_BINARY_DIR}/icons/hicolor)
set(QUILLET_ICON_SIZES 16 32 48 64 128 256)

configure_file(${PROJECT_SOURCE_DIR}/data/quillet.1.in ${QUILLET_MANUAL_PAGE} @ONLY)
# Debian installs manual pages compressed; -n keeps the archive free of the build's time.
add_custom_command(
  OUTPUT ${QUILLET_MANUAL_PAGE}.gz
  COMMAND gzip -9nc ${QUILLET_MANUAL_PAGE} > ${QUILLET_MANUAL_PAGE}.gz
  DEPENDS ${QUILLET_MANUAL_PAGE}
  VERBATIM)
add_custom_target(quillet_manual ALL DEPENDS ${QUILLET_MANUAL_PAGE}.gz)

install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The window's own program, which quillet looks for at ../lib/quillet/ beside itself.
if(TARGET quillet-window)
  install(TARGETS quillet-window RUNTIME DESTINATION ${QUILLET_WINDOW_INSTALL_DIR})
endif()
install(FILES ${QUILLET_MANUAL_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/quillet.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quillet)

# The menu entry, the icon and the metainfo describe the window.
if(TARGET quillet_window)
  configure_file(${PROJECT_SOURCE_DIR}/data/quillet.desktop.in ${QUILLET_DESKTOP_FILE} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/data/quillet.metainfo.xml.in ${QUILLET_METAINFO_FILE}
                 @ONLY)

  # quillet_render_icon is one of the tools (tools/CMakeLists.txt).
  set(icons ${QUILLET_ICON_DIR}/scalable/apps/${QUILLET_APP_ID}.svg)
  foreach(size ${QUILLET_ICON_SIZES})
    list(APPEND icons ${QUILLET_ICON_DIR}/${size}x${size}/apps/${QUILLET_APP_ID}.png)
  endforeach()
  add_custom_command(
    OUTPUT ${icons}
    COMMAND quillet_render_icon ${QUILLET_APP_ID} ${QUILLET_ICON_DIR} ${QUILLET_ICON_SIZES}
    DEPENDS quillet_render_icon
    VERBATIM)
  add_custom_target(quillet_icons ALL DEPENDS ${icons})

  install(FILES ${QUILLET_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QUILLET_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${QUILLET_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillet developers")
set(CPACK_PACKAGE_CONTACT "Quillet developers <quillet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "turn a long rich text into small HTML pages for a handheld's browser")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillet cuts an e-book (RTF, EPUB, FB2, HTML, Markdown, plain text, or
a word-processor document through LibreOffice or pandoc) into a set of
small HTML pages that the web browser of a handheld console can open one
at a time without running out of memory, plus an index page that links
them. It has a window and a command line (quillet book, preview, convert,
rtf, text, formats).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLET_HOMEPAGE})
# Libraries come from the executable itself; what it only runs or uses by name follows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pandoc, libreoffice-writer")
include(CPack)
