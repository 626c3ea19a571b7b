# Installs the desktop add-ons into a folder of its own and checks that each
# file is where GNOME Shell and KWin look. Run by ctest with -DBUILD -DUUID
# -DSHELL_BUILD -DPREFIX.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}" --component desktop-add-ons
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(expected
  "share/gnome-shell/extensions/${UUID}/extension.js"
  "share/gnome-shell/extensions/${UUID}/metadata.json"
  "share/glidra/gnome-shell/43/${UUID}/extension.js"
  "share/glidra/gnome-shell/43/${UUID}/metadata.json"
  "share/glidra/gnome-shell/45/${UUID}/extension.js"
  "share/glidra/gnome-shell/45/${UUID}/metadata.json"
  "share/kwin/scripts/glidra/metadata.json"
  "share/kwin/scripts/glidra/contents/code/main.js")
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# The system folder holds the build for the shell found here.
file(READ "${PREFIX}/share/gnome-shell/extensions/${UUID}/metadata.json" metadata)
string(JSON uuid GET "${metadata}" uuid)
string(JSON first GET "${metadata}" shell-version 0)
if(NOT uuid STREQUAL UUID)
  message(FATAL_ERROR "metadata.json names ${uuid}")
endif()
if((SHELL_BUILD STREQUAL "legacy" AND NOT first STREQUAL "43") OR (SHELL_BUILD STREQUAL "modules" AND NOT first STREQUAL "45"))
  message(FATAL_ERROR "the installed extension is for GNOME Shell ${first}, not the ${SHELL_BUILD} build")
endif()
file(READ "${PREFIX}/share/kwin/scripts/glidra/metadata.json" script)
string(JSON id GET "${script}" KPlugin Id)
if(NOT id STREQUAL "glidra")
  message(FATAL_ERROR "the KWin script's id is ${id}, which Glidra does not load")
endif()
message(STATUS "the desktop add-ons install where the desktops look")
