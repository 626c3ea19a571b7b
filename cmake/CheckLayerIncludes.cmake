# Fails naming every file under src/ that includes a folder its layer may not
# use. Run by ctest with -DSOURCE=<the src folder>.
#
# Each rule: the folders it covers, ":", the folders their files never
# include. Keep in step with the layer table in ARCHITECTURE.md.
set(rules
  "common gestures actions notices : bridge trackpad dispatch executors settings hud app views platform/sim platform/linux"
  "bridge trackpad dispatch executors settings : hud app views platform/sim platform/linux"
  "hud app views : platform/sim platform/linux"
  "views hud : app"
  "trackpad : executors"
  "inputd : common gestures actions notices bridge trackpad dispatch executors settings hud app views platform/sim platform/linux")

if(NOT IS_DIRECTORY "${SOURCE}")
  message(FATAL_ERROR "no source folder at '${SOURCE}'")
endif()
set(offences "")
foreach(rule IN LISTS rules)
  string(REPLACE ":" ";" parts "${rule}")
  list(GET parts 0 covered)
  list(GET parts 1 forbidden)
  string(STRIP "${covered}" covered)
  string(STRIP "${forbidden}" forbidden)
  string(REPLACE " " ";" covered "${covered}")
  string(REPLACE " " ";" forbidden "${forbidden}")
  foreach(folder IN LISTS covered)
    file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/${folder}/*.h" "${SOURCE}/${folder}/*.cpp")
    foreach(file IN LISTS files)
      file(STRINGS "${SOURCE}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
      foreach(line IN LISTS includes)
        foreach(target IN LISTS forbidden)
          if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]${target}/")
            string(STRIP "${line}" line)
            string(APPEND offences "\n  src/${file}: ${line} (${folder}/ never includes ${target}/)")
          endif()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "includes against the layers:${offences}")
endif()
message(STATUS "every include keeps to its layer")
