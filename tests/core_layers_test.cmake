# Proves that the include check of the core layers fires: run on scratch trees
# it refuses a Qt header (and the Qt-typed platform bridge) in a core folder,
# naming the file and line, and accepts Qt in src/platform; run on the real
# source tree it finds nothing.
#
#   cmake -DSOURCE_ROOT=<source tree> -DSCRATCH=<scratch folder> -P core_layers_test.cmake
include(${SOURCE_ROOT}/cmake/CheckCoreLayers.cmake)

file(REMOVE_RECURSE "${SCRATCH}")
file(WRITE "${SCRATCH}/src/platform/bridge.cpp" "#include <QString>\n")
file(WRITE "${SCRATCH}/src/model/clean.h" "#pragma once\n#include <string>\n#include \"platform/dates.h\"\n")
rebound_check_core_layers("${SCRATCH}" found)
if(NOT found STREQUAL "")
  message(FATAL_ERROR "Qt in src/platform was refused: ${found}")
endif()

set(cases
  "src/model/leak.h|#pragma once\n#include <QString>\n|src/model/leak.h:2: QString"
  "src/fileio/leak.cpp|// reads\n#  include <QtCore/QFile>\n|src/fileio/leak.cpp:2: QtCore/QFile"
  "src/evaluation/leak.cpp|#include \"qglobal.h\"\n|src/evaluation/leak.cpp:1: qglobal.h"
  "src/settings/leak.cpp|\n\n#include \"platform/qt_bridge.h\"\n|src/settings/leak.cpp:3: platform/qt_bridge.h")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 file)
  list(GET parts 1 content)
  list(GET parts 2 expected)
  string(REPLACE "\\n" "\n" content "${content}")
  file(WRITE "${SCRATCH}/${file}" "${content}")
  rebound_check_core_layers("${SCRATCH}" found)
  string(FIND "${found}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check missed ${expected}; it found: ${found}")
  endif()
  file(REMOVE "${SCRATCH}/${file}")
endforeach()

# The script form, as the build runs it, fails on a violation.
file(WRITE "${SCRATCH}/src/model/leak.h" "#include <QString>\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_ROOT=${SCRATCH} -P ${SOURCE_ROOT}/cmake/CheckCoreLayers.cmake
  RESULT_VARIABLE status ERROR_VARIABLE output)
if(status EQUAL 0)
  message(FATAL_ERROR "the script form passed a Qt include")
endif()
string(FIND "${output}" "src/model/leak.h:1: QString" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the script form did not name the include: ${output}")
endif()

rebound_check_core_layers("${SOURCE_ROOT}" found)
if(NOT found STREQUAL "")
  message(FATAL_ERROR "the source tree includes Qt outside src/platform:\n${found}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
