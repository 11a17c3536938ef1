# Install rules and packaging (cmake --install, cpack).
#
# Linux layout below the prefix:
#   bin/rebound, bin/rebound-cli, bin/rebound-launcher
#   share/rebound/{curve,report,samples}   the shipped application folder
#   share/rebound/translations/*.qm        the window's translations (not
#                                           copied into the per-user folder)
#   share/applications/rebound.desktop      starts rebound-launcher
#   share/icons/hicolor/*/apps/rebound.*    the icon, SVG and PNG sizes
#   share/mime/packages/rebound.xml         .prj, .cmp/.tmp, .xcmp file types
#   share/man/man1/rebound-cli.1.gz
#   share/doc/rebound/                      the user guide
# The window uses the folder it is started in as its application folder, so
# the launcher prepares a per-user copy of share/rebound and starts it there.
#
# Windows layout below the install folder:
#   bin/rebound.exe, bin/rebound-cli.exe, bin/rebound-launcher.exe
#   bin/*.dll, bin/platforms/, bin/styles/   Qt and its plugins (Windows printing is part of Qt6PrintSupport)
#   curve/, report/, samples/                                   the shipped application folder
#   translations/                                               the window's and Qt's translations
# The launcher prepares a per-user copy of the shipped folder
# (%LOCALAPPDATA%\rebound) and starts the window there, as rebound-launcher
# does on Linux: an install below Program Files is read-only for its users.
# The installer (target windows_installer) is built with makensis from this
# install tree.

include(GNUInstallDirs)

set(_pkg ${PROJECT_SOURCE_DIR}/packaging)

if(TARGET rebound)
  install(TARGETS rebound RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rebound)
endif()
install(TARGETS rebound-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rebound)
if(TARGET rebound-launcher)
  install(TARGETS rebound-launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rebound)
endif()

if(WIN32)
  set(REBOUND_SHIPPED_DESTINATION .)
else()
  set(REBOUND_SHIPPED_DESTINATION ${CMAKE_INSTALL_DATADIR}/rebound)
endif()

# The shipped application folder: strength curves, report template, sample
# device files (REBOUND_SHIPPED_ENTRIES, the folders of data/ that exist).
foreach(_dir IN LISTS REBOUND_SHIPPED_ENTRIES)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/${_dir} DESTINATION ${REBOUND_SHIPPED_DESTINATION}
          COMPONENT rebound)
endforeach()

# The window's translations (cmake/Translations.cmake), where the window looks
# for them from its executable's folder.
if(TARGET rebound AND REBOUND_QM_FILES)
  if(WIN32)
    set(_translations_destination translations)
  else()
    set(_translations_destination ${CMAKE_INSTALL_DATADIR}/rebound/translations)
  endif()
  install(FILES ${REBOUND_QM_FILES} DESTINATION ${_translations_destination} COMPONENT rebound)
endif()

# The licence: LICENSE itself, and on Debian the machine-readable copyright
# file every package carries (share/doc/rebound/copyright), made from it.
if(UNIX AND NOT APPLE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE _licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${_licence}")
  set(_holder "${CMAKE_MATCH_1}")
  # The licence text after its copyright line, in the field syntax of the
  # format: every line indented by one space, empty lines as " .".
  string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]+\n\n" "" _terms "${_licence}")
  string(REGEX REPLACE "\n+$" "" _terms "${_terms}")
  string(REPLACE "\n\n" "\n.\n" _terms "${_terms}")
  string(REPLACE "\n" "\n " _terms "${_terms}")
  file(WRITE ${PROJECT_BINARY_DIR}/packaging/copyright
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: rebound\n"
       "\n"
       "Files: *\n"
       "Copyright: ${_holder}\n"
       "License: Expat\n"
       " ${_terms}\n")
  install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
          COMPONENT rebound)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT rebound)
endif()

if(EXISTS ${PROJECT_SOURCE_DIR}/docs/user-guide.md)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT rebound)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT rebound)
  endif()
endif()

if(UNIX AND NOT APPLE)
  # The launcher finds the shipped folder relative to its own folder, so an
  # install moved to another prefix (or unpacked into a scratch root) works.
  file(RELATIVE_PATH REBOUND_SHIPPED_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${REBOUND_SHIPPED_DESTINATION})
  configure_file(${_pkg}/rebound-launcher.in ${PROJECT_BINARY_DIR}/packaging/rebound-launcher @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/rebound-launcher DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT rebound)

  install(FILES ${_pkg}/rebound.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT rebound)
  install(FILES ${_pkg}/rebound-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME rebound.xml COMPONENT rebound)
  install(FILES ${_pkg}/icons/rebound.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT rebound)
  foreach(_size IN ITEMS 16 24 32 48 64 128 256)
    install(FILES ${_pkg}/icons/rebound-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME rebound.png COMPONENT rebound)
  endforeach()

  # Man pages are installed compressed, as the distribution does.
  find_program(REBOUND_GZIP gzip)
  set(_man ${_pkg}/rebound-cli.1)
  if(REBOUND_GZIP)
    set(_man ${PROJECT_BINARY_DIR}/packaging/rebound-cli.1.gz)
    add_custom_command(OUTPUT ${_man}
                       COMMAND ${REBOUND_GZIP} -9 -n -c ${_pkg}/rebound-cli.1 > ${_man}
                       DEPENDS ${_pkg}/rebound-cli.1
                       COMMENT "Compressing the rebound-cli man page")
    add_custom_target(rebound_man_page ALL DEPENDS ${_man})
  endif()
  install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT rebound)
endif()

if(WIN32 AND TARGET rebound)
  if(MINGW)
    # A MinGW build deploys Qt itself (Qt's deployment tool is not part of a
    # cross-built Qt): the Qt libraries the programs link, the Windows
    # platform, print support and style plugins, and the MinGW runtime.
    foreach(_qt IN ITEMS Core Gui Widgets PrintSupport)
      install(FILES $<TARGET_FILE:Qt6::${_qt}> DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rebound)
    endforeach()
    foreach(_plugin IN ITEMS platforms:QWindowsIntegrationPlugin printsupport:QWindowsPrinterSupportPlugin
                             styles:QWindowsVistaStylePlugin)
      string(REPLACE ":" ";" _plugin ${_plugin})
      list(GET _plugin 0 _kind)
      list(GET _plugin 1 _target)
      if(TARGET Qt6::${_target})
        install(FILES $<TARGET_FILE:Qt6::${_target}> DESTINATION ${CMAKE_INSTALL_BINDIR}/${_kind} COMPONENT rebound)
      endif()
    endforeach()
    # Qt's own Chinese, when the Qt build has it: Qt's dialogs then follow the
    # window's language.
    set(_qt_zh "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/qtbase_zh_CN.qm")
    if(EXISTS "${_qt_zh}")
      install(FILES "${_qt_zh}" DESTINATION translations COMPONENT rebound)
    endif()
    foreach(_dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                      OUTPUT_VARIABLE _found OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT IS_ABSOLUTE "${_found}")
        # libwinpthread lives in the MinGW sysroot, not in the compiler's folder.
        find_file(_found_${_dll} ${_dll} PATH_SUFFIXES lib bin NO_CACHE)
        set(_found ${_found_${_dll}})
      endif()
      if(NOT EXISTS "${_found}")
        message(FATAL_ERROR "The MinGW runtime library ${_dll} was not found.")
      endif()
      install(FILES ${_found} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rebound)
    endforeach()
  else()
    # windeployqt copies the Qt libraries and plugins (platform, print
    # support, image formats) next to the executables at install time.
    qt_generate_deploy_app_script(TARGET rebound FILENAME_VARIABLE _deploy_script NO_UNSUPPORTED_PLATFORM_ERROR)
    install(SCRIPT ${_deploy_script} COMPONENT rebound)
  endif()

  # The installer: makensis over a fresh install tree, written to
  # installer/rebound-<version>-setup.exe in the build folder.
  find_program(REBOUND_MAKENSIS makensis PATHS "$ENV{ProgramFiles\(x86\)}/NSIS" "$ENV{ProgramFiles}/NSIS")
  if(REBOUND_MAKENSIS)
    add_custom_target(windows_installer
      COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DVERSION=${PROJECT_VERSION}
              -DMAKENSIS=${REBOUND_MAKENSIS} -DSCRIPT=${_pkg}/windows/rebound.nsi
              -DICON=${_pkg}/icons/rebound.ico -DOUT_DIR=${PROJECT_BINARY_DIR}/installer
              -P ${PROJECT_SOURCE_DIR}/cmake/WindowsInstaller.cmake
      DEPENDS rebound rebound-cli rebound-launcher
      COMMENT "Building the Windows installer"
      VERBATIM)
  endif()
endif()

# Packages -------------------------------------------------------------------

set(CPACK_PACKAGE_NAME rebound)
set(CPACK_PACKAGE_VENDOR "The rebound developers")
set(CPACK_PACKAGE_CONTACT "The rebound developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC-side application of a digital concrete rebound hammer")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Imports the component files written by a digital concrete rebound hammer, shows components and "
       "test areas, keeps inspections in project files, evaluates compressive strength and prints, "
       "previews and exports the test report. rebound-cli does the same work on files without windows.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY rebound)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_EXECUTABLES rebound Rebound)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

# Debian: the Qt libraries the binaries link come from dpkg-shlibdeps; the
# platform plugins (loaded at run time, not linked) and the fonts that carry
# the Chinese texts of the window and the report are named here. Qt's own
# translations put Qt's dialogs (files, printing, message buttons) into the
# window's language; without them those stay English.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-arphic-uming, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
