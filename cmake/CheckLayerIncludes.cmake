# Fails naming every file under src/ whose include breaks the layers. Run by
# ctest with -DSOURCE=<the src folder>.
#
# Each layer names its folders and the folders their files may include; a
# file belongs to the longest layer folder that holds it, so a subfolder
# listed as a layer of its own is judged by its own line. An include of the
# program's own headers is one whose first folder is a folder of src/ (the
# "linux/" of <linux/input.h> is not). Files outside every layer (main.cpp)
# assemble the program and may include anything; no file may climb out of
# its folder with "..". Keep in step with the layer table in ARCHITECTURE.md.
cmake_minimum_required(VERSION 3.25)

set(model common gestures actions notices)
set(core settings bridge trackpad dispatch executors)
set(ui hud app views)
set(layers "")
macro(layer)
  cmake_parse_arguments(LAYER "" "" "FOLDERS;MAY_INCLUDE" ${ARGN})
  foreach(folder IN LISTS LAYER_FOLDERS)
    list(APPEND layers "${folder}")
    set("allowed_${folder}" ${LAYER_MAY_INCLUDE})
  endforeach()
endmacro()

layer(FOLDERS ${model} MAY_INCLUDE ${model} platform)
layer(FOLDERS settings bridge dispatch executors MAY_INCLUDE ${model} ${core} platform)
# The controller drives the executors through its own interfaces.
layer(FOLDERS trackpad MAY_INCLUDE ${model} settings bridge trackpad dispatch platform)
# Views and the HUD build and test without the shell.
layer(FOLDERS hud views MAY_INCLUDE ${model} ${core} hud views platform)
layer(FOLDERS app MAY_INCLUDE ${model} ${core} ${ui} platform)
# The ports: nothing but one another, no adapter.
layer(FOLDERS platform MAY_INCLUDE platform)
# The evdev rules are pure: the ports they fill, nothing above, no adapter.
layer(FOLDERS platform/evdev MAY_INCLUDE platform platform/evdev)
# Adapters, each on its own: the ports, the evdev rules and the model's
# common helpers (and, for the Linux ones, the input service's protocol); the
# program chooses one of them, never they one another.
layer(FOLDERS platform/linux MAY_INCLUDE common platform platform/evdev platform/linux inputd)
layer(FOLDERS platform/sim MAY_INCLUDE common platform platform/evdev platform/sim)
# The input service runs without Qt: the evdev rules and the common helpers
# only. The Linux adapters speak its protocol as its client.
layer(FOLDERS inputd MAY_INCLUDE common platform/evdev inputd)

get_filename_component(SOURCE "${SOURCE}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE}")
  message(FATAL_ERROR "no source folder at '${SOURCE}'")
endif()

# The layer of a path below src/ ("views/rules/X.h" -> "views"), or "" when
# no layer holds it.
function(layer_of path out)
  set(found "")
  foreach(candidate IN LISTS layers)
    string(LENGTH "${candidate}" length)
    string(LENGTH "${found}" foundLength)
    string(FIND "${path}" "${candidate}/" at)
    if(at EQUAL 0 AND length GREATER foundLength)
      set(found "${candidate}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(offences "")
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*.h" "${SOURCE}/*.cpp")
if(NOT files)
  message(FATAL_ERROR "no sources under '${SOURCE}'")
endif()
list(SORT files)
foreach(file IN LISTS files)
  layer_of("${file}" own)
  get_filename_component(folder "${file}" DIRECTORY)
  if(own STREQUAL "" AND NOT folder STREQUAL "")
    string(APPEND offences "\n  src/${file}: its folder belongs to no layer (add it to the layers)")
  endif()
  file(STRINGS "${SOURCE}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(NOT line MATCHES "^#[ \t]*include[ \t]*[\"<]([^\">]*)[\">]")
      continue()
    endif()
    set(included "${CMAKE_MATCH_1}")
    if(included MATCHES "(^|/)\\.\\.(/|$)")
      string(APPEND offences "\n  src/${file}: ${line} (an include climbs out of its folder)")
      continue()
    endif()
    string(FIND "${included}" "/" slash)
    if(own STREQUAL "" OR slash LESS 0)
      continue()
    endif()
    string(SUBSTRING "${included}" 0 ${slash} top)
    if(NOT IS_DIRECTORY "${SOURCE}/${top}")
      continue()
    endif()
    layer_of("${included}" target)
    if(target STREQUAL "")
      string(APPEND offences "\n  src/${file}: ${line} (a folder of no layer)")
    elseif(NOT target IN_LIST "allowed_${own}")
      string(APPEND offences "\n  src/${file}: ${line} (${own}/ never includes ${target}/)")
    endif()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "includes against the layers:${offences}")
endif()
message(STATUS "every include keeps to its layer")
