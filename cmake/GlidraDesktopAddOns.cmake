# The add-ons Glidra ships for the desktops, so that it sees and lays out
# native Wayland windows: a GNOME Shell extension and a KWin script.
#
# The extension is one source (data/gnome-shell/bridge.js) in two builds:
# "legacy" for GNOME Shell 43 and 44 (the shell's own imports) and "modules"
# for 45 and later (ES modules). `cmake --install` puts the build for the
# shell found here (GLIDRA_GNOME_SHELL_BUILD=auto, Debian 12's 43 when none is
# found) into the system extension folder, and both builds under
# share/glidra/gnome-shell/ for copying into ~/.local/share/gnome-shell/extensions.
# The KWin script goes where KWin's settings list scripts; Glidra loads it
# itself through KWin's scripting interface.
#
# Every rule here is in the COMPONENT desktop-add-ons.

include(GNUInstallDirs)

set(GLIDRA_GNOME_EXTENSION_UUID "glidra@glidra.github.io")
set(GLIDRA_GNOME_SHELL_BUILD "auto" CACHE STRING "GNOME Shell extension build to install: auto, legacy (43-44) or modules (45+)")
set_property(CACHE GLIDRA_GNOME_SHELL_BUILD PROPERTY STRINGS auto legacy modules)

set(_glidra_shell_source "${PROJECT_SOURCE_DIR}/data/gnome-shell")
set(_glidra_addons "${CMAKE_BINARY_DIR}/desktop-add-ons")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${_glidra_shell_source}/bridge.js" "${_glidra_shell_source}/legacy.js.in"
  "${_glidra_shell_source}/modules.js.in" "${_glidra_shell_source}/metadata.json.in")

file(READ "${_glidra_shell_source}/bridge.js" GLIDRA_BRIDGE)
set(GLIDRA_EXTENSION_VERSION 2)
foreach(_build legacy modules)
  if(_build STREQUAL "legacy")
    set(GLIDRA_SHELL_VERSIONS "\"43\", \"44\"")
  else()
    set(GLIDRA_SHELL_VERSIONS "\"45\", \"46\", \"47\", \"48\"")
  endif()
  set(_folder "${_glidra_addons}/gnome-shell/${_build}/${GLIDRA_GNOME_EXTENSION_UUID}")
  configure_file("${_glidra_shell_source}/${_build}.js.in" "${_folder}/extension.js" @ONLY)
  configure_file("${_glidra_shell_source}/metadata.json.in" "${_folder}/metadata.json" @ONLY)
endforeach()

set(_glidra_shell_build "${GLIDRA_GNOME_SHELL_BUILD}")
if(_glidra_shell_build STREQUAL "auto")
  set(_glidra_shell_build legacy)
  find_program(GLIDRA_GNOME_SHELL gnome-shell)
  if(GLIDRA_GNOME_SHELL)
    execute_process(COMMAND "${GLIDRA_GNOME_SHELL}" --version OUTPUT_VARIABLE _shell_version
                    ERROR_QUIET RESULT_VARIABLE _shell_status)
    if(_shell_status EQUAL 0 AND _shell_version MATCHES "([0-9]+)\\.")
      if(CMAKE_MATCH_1 GREATER_EQUAL 45)
        set(_glidra_shell_build modules)
      endif()
    endif()
  endif()
endif()
if(NOT _glidra_shell_build MATCHES "^(legacy|modules)$")
  message(FATAL_ERROR "GLIDRA_GNOME_SHELL_BUILD must be auto, legacy or modules, not ${GLIDRA_GNOME_SHELL_BUILD}")
endif()
message(STATUS "GNOME Shell extension build installed: ${_glidra_shell_build}")

install(DIRECTORY "${_glidra_addons}/gnome-shell/${_glidra_shell_build}/${GLIDRA_GNOME_EXTENSION_UUID}"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions" COMPONENT desktop-add-ons)
install(DIRECTORY "${_glidra_addons}/gnome-shell/legacy/" DESTINATION "${CMAKE_INSTALL_DATADIR}/glidra/gnome-shell/43"
        COMPONENT desktop-add-ons)
install(DIRECTORY "${_glidra_addons}/gnome-shell/modules/" DESTINATION "${CMAKE_INSTALL_DATADIR}/glidra/gnome-shell/45"
        COMPONENT desktop-add-ons)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/kwin/glidra" DESTINATION "${CMAKE_INSTALL_DATADIR}/kwin/scripts"
        COMPONENT desktop-add-ons)

if(GLIDRA_BUILD_TESTS)
  # The scripts parse (node reads the shell's old imports, ES modules and
  # KWin's plain script alike), and the install puts them where the desktops
  # look.
  find_program(GLIDRA_NODE node)
  if(GLIDRA_NODE)
    set(_legacy "${_glidra_addons}/gnome-shell/legacy/${GLIDRA_GNOME_EXTENSION_UUID}/extension.js")
    set(_modules "${_glidra_addons}/gnome-shell/modules/${GLIDRA_GNOME_EXTENSION_UUID}/extension.js")
    add_test(NAME DesktopAddOns.ScriptsParse
             COMMAND "${CMAKE_COMMAND}" -DNODE=${GLIDRA_NODE} -DLEGACY=${_legacy} -DMODULES=${_modules}
                     -DKWIN=${PROJECT_SOURCE_DIR}/data/kwin/glidra/contents/code/main.js
                     -DWORK=${CMAKE_BINARY_DIR}/desktop-add-ons-check -P ${PROJECT_SOURCE_DIR}/cmake/CheckDesktopAddOns.cmake)
  endif()
  add_test(NAME DesktopAddOns.InstallLayout
           COMMAND "${CMAKE_COMMAND}" -DBUILD=${CMAKE_BINARY_DIR} -DUUID=${GLIDRA_GNOME_EXTENSION_UUID}
                   -DSHELL_BUILD=${_glidra_shell_build} -DPREFIX=${CMAKE_BINARY_DIR}/desktop-add-ons-install
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckDesktopAddOnsInstall.cmake)
endif()
