# Parses the extension's two builds and the KWin script with node: the
# shell's old imports and KWin's script as plain scripts, the 45+ build as an
# ES module. Run by ctest with -DNODE -DLEGACY -DMODULES -DKWIN -DWORK.
file(MAKE_DIRECTORY "${WORK}")
# node tells modules by their name.
configure_file("${MODULES}" "${WORK}/extension.mjs" COPYONLY)
foreach(script "${LEGACY}" "${WORK}/extension.mjs" "${KWIN}")
  execute_process(COMMAND "${NODE}" --check "${script}" RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${script} does not parse:\n${errors}")
  endif()
endforeach()
# Each build says which shells it is for, and the older one uses no module syntax.
file(READ "${LEGACY}" legacy)
if(legacy MATCHES "(^|\n)(import|export) ")
  message(FATAL_ERROR "${LEGACY} uses ES module syntax, which GNOME Shell 43 and 44 do not load")
endif()
message(STATUS "the desktop add-ons parse")
