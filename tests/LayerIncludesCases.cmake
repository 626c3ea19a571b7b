# Runs the layer check on small source trees, one include each: every
# include against the layers must fail the check and be named in its
# message, and every include the layers allow must pass. Run by ctest with
# -DCHECK=<the check script> -DWORK=<a scratch folder>.
cmake_minimum_required(VERSION 3.25)

# file in the tree | the line it holds | what the check must say ("" passes)
set(cases
  "platform/linux/Adapter.cpp|#include \"trackpad/TrackpadController.h\"|platform/linux/ never includes trackpad/"
  "platform/linux/Adapter.cpp|#include \"app/StartUp.h\"|platform/linux/ never includes app/"
  "platform/linux/Adapter.cpp|#include \"platform/sim/SimClock.h\"|platform/linux/ never includes platform/sim/"
  "platform/sim/SimThing.cpp|#include \"settings/ControlSettings.h\"|platform/sim/ never includes settings/"
  "platform/sim/SimThing.cpp|#include \"platform/linux/Adapter.h\"|platform/sim/ never includes platform/linux/"
  "platform/Port.h|#include \"views/ViewContext.h\"|platform/ never includes views/"
  "platform/Port.h|#include \"platform/linux/Adapter.h\"|platform/ never includes platform/linux/"
  "platform/Port.h|#include \"common/Json.h\"|platform/ never includes common/"
  "platform/evdev/Reader.cpp|#include \"platform/linux/EvdevNode.h\"|platform/evdev/ never includes platform/linux/"
  "platform/evdev/Reader.cpp|#include \"gestures/GestureRule.h\"|platform/evdev/ never includes gestures/"
  "platform/evdev/Reader.cpp|#include \"common/Json.h\"|platform/evdev/ never includes common/"
  "gestures/Recognizer.cpp|#include \"platform/evdev/Frame.h\"|gestures/ never includes platform/evdev/"
  "gestures/Recognizer.cpp|#include <settings/ControlSettings.h>|gestures/ never includes settings/"
  "trackpad/Controller.cpp|#include \"executors/KeepAwakeController.h\"|trackpad/ never includes executors/"
  "views/rules/Row.cpp|#include \"app/UiContext.h\"|views/ never includes app/"
  "views/rules/Row.cpp|#include \"platform/sim/SimWorkspace.h\"|views/ never includes platform/sim/"
  "views/rules/Row.cpp|#include \"../../app/UiContext.h\"|climbs out of its folder"
  "views/Page.cpp|#include \"rules/../../app/UiContext.h\"|climbs out of its folder"
  "main.cpp|#include \"../tools/replay/Replay.h\"|climbs out of its folder"
  "extras/Thing.cpp|#include \"common/Json.h\"|belongs to no layer"
  # What the layers allow.
  "main.cpp|#include \"platform/linux/LinuxPlatform.h\"|"
  "main.cpp|#include \"platform/sim/SimWorkspace.h\"|"
  "platform/linux/Adapter.cpp|#include \"platform/evdev/EvemuReader.h\"|"
  "platform/linux/Adapter.cpp|#include \"common/Json.h\"|"
  "platform/linux/Adapter.cpp|#include <linux/input.h>|"
  "platform/linux/Adapter.cpp|#include \"Adapter.h\"|"
  "platform/sim/SimThing.cpp|#include \"platform/InputEvent.h\"|"
  "platform/evdev/Reader.cpp|#include \"platform/MultitouchFramework.h\"|"
  "views/rules/Row.cpp|#include \"hud/HudPanel.h\"|"
  "app/Shell.cpp|#include \"views/ViewContext.h\"|"
  "trackpad/Controller.cpp|#include \"dispatch/ActionDispatcher.h\"|")

set(folders common gestures actions notices settings bridge trackpad dispatch executors hud app views
  platform platform/evdev platform/linux platform/sim)
set(failures "")
set(index 0)
foreach(case IN LISTS cases)
  math(EXPR index "${index} + 1")
  string(REPLACE "|" ";" parts "${case}")
  list(LENGTH parts count)
  list(GET parts 0 file)
  list(GET parts 1 line)
  set(expected "")
  if(count GREATER 2)
    list(GET parts 2 expected)
  endif()

  set(tree "${WORK}/case-${index}")
  file(REMOVE_RECURSE "${tree}")
  foreach(folder IN LISTS folders)
    file(MAKE_DIRECTORY "${tree}/${folder}")
  endforeach()
  file(WRITE "${tree}/${file}" "#pragma once\n\n#include <QString>\n${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${tree} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      string(APPEND failures "\n  refused ${file}: ${line}:\n${output}")
    endif()
  else()
    string(FIND "${output}" "src/${file}: ${line}" namesLine)
    string(FIND "${output}" "${expected}" namesRule)
    if(result EQUAL 0)
      string(APPEND failures "\n  let through ${file}: ${line}")
    elseif(NOT file MATCHES "^extras/" AND namesLine LESS 0)
      string(APPEND failures "\n  did not name ${file}: ${line}:\n${output}")
    elseif(namesRule LESS 0)
      string(APPEND failures "\n  did not say '${expected}' for ${file}: ${line}:\n${output}")
    endif()
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(failures)
  message(FATAL_ERROR "the layer check judged wrongly:${failures}")
endif()
message(STATUS "the layer check judged ${index} includes rightly")
