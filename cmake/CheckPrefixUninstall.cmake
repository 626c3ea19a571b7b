# Installs everything into a prefix of its own, runs the commands that
# scripts/run prints (and the README gives) to remove it, and fails naming
# what is left of Glidra's. Run by ctest with -DBUILD -DPREFIX -DLIB (scripts/lib.sh) -DAPP_ID.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false "${PREFIX}/*")
list(LENGTH installed count)
if(count EQUAL 0)
  message(FATAL_ERROR "cmake --install put nothing under ${PREFIX}")
endif()

execute_process(
  COMMAND bash -c "source \"$1\" && APP_ID=\"$2\" && eval \"$(prefix_uninstall_commands \"$3\")\"" check
          "${LIB}" "${APP_ID}" "${PREFIX}"
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the removal commands failed: ${errors}")
endif()

# Folders the prefix shares with other programs may stay, empty; nothing of
# Glidra's may.
file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE "${PREFIX}" "${PREFIX}/*")
set(offences "")
foreach(path IN LISTS left)
  if(NOT IS_DIRECTORY "${PREFIX}/${path}" OR path MATCHES "[Gg]lidra")
    string(APPEND offences "\n  ${path}")
  endif()
endforeach()
if(offences)
  message(FATAL_ERROR "left after the removal:${offences}")
endif()
message(STATUS "the removal commands take away all ${count} installed files and Glidra's folders")
