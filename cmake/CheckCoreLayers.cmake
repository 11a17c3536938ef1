# The core folders (model, file formats, evaluation, settings) must not see Qt:
# only src/platform may include Qt headers, and only code that links Qt itself
# may include the Qt-typed bridge platform/qt_bridge.h.
#
# rebound_check_core_layers(<source root> <result variable>) sets the result to
# an empty string when the rule holds, otherwise to one "file:line: include"
# line per offending include. Run as a script
#
#   cmake -DSOURCE_ROOT=<root> [-DSTAMP=<file>] -P cmake/CheckCoreLayers.cmake
#
# it fails with those lines (and touches STAMP when the rule holds), which is
# how the build runs it before compiling the core.

set(REBOUND_CORE_FOLDERS model fileio evaluation settings)

function(rebound_check_core_layers root out)
  set(found "")
  foreach(folder IN LISTS REBOUND_CORE_FOLDERS)
    file(GLOB_RECURSE sources
      "${root}/src/${folder}/*.h" "${root}/src/${folder}/*.hpp" "${root}/src/${folder}/*.cpp")
    foreach(source IN LISTS sources)
      set(number 0)
      file(STRINGS "${source}" all_lines)
      foreach(line IN LISTS all_lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]((Q[A-Za-z0-9_]*|Qt[A-Za-z0-9_]*/[^>\"]*|q[a-z0-9_]+\\.h)|platform/qt_bridge\\.h)[>\"]")
          file(RELATIVE_PATH relative "${root}" "${source}")
          string(APPEND found "${relative}:${number}: ${CMAKE_MATCH_1}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED SOURCE_ROOT)
  rebound_check_core_layers("${SOURCE_ROOT}" violations)
  if(violations)
    message(FATAL_ERROR
      "Qt headers included outside src/platform (the core folders must not use Qt):\n${violations}")
  endif()
  if(DEFINED STAMP)
    file(TOUCH "${STAMP}")
  endif()
endif()
