# The window's translations. Each language has a catalogue in the source tree,
# translations/rebound_<language>.ts, kept up to date with lupdate (the texts
# passed to tr(), QT_TR_NOOP, QT_TRANSLATE_NOOP and QCoreApplication::translate
# in the window's sources) and compiled with lrelease into
# rebound_<language>.qm beside the window's executable, where the window finds
# it in the build tree; Install.cmake installs it.
#
# Included from the top-level CMakeLists.txt; the window's folder calls
# rebound_add_translations(). As a script,
#
#   cmake -DMODE=update|check -DLUPDATE=<lupdate> -DSOURCE_ROOT=<root>
#         -DTS=<catalogue> [-DSCRATCH=<folder>] -P cmake/Translations.cmake
#
# "update" brings the catalogue in line with the sources (new texts arrive
# unfinished, texts gone from the sources are dropped); "check" fails when the
# catalogue is not what "update" would make of it, or when any entry is left
# unfinished: every window text then has its translation.

# The folders whose texts are translated, below the source root.
set(REBOUND_TRANSLATED_FOLDERS src/ui src/app src/report src/document)

function(rebound_run_lupdate lupdate root ts)
  set(folders "")
  foreach(folder IN LISTS REBOUND_TRANSLATED_FOLDERS)
    list(APPEND folders "${root}/${folder}")
  endforeach()
  get_filename_component(name "${ts}" NAME_WE)
  string(REGEX REPLACE "^rebound_" "" language "${name}")
  # No source locations: the catalogue changes only when texts do. The
  # include path lets lupdate see the classes (and their namespace) behind
  # each tr().
  execute_process(
    COMMAND "${lupdate}" -silent -I "${root}/src" -locations none -no-obsolete -source-language en
      -target-language ${language} ${folders} -ts "${ts}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${ts}:\n${output}")
  endif()
  if(output MATCHES "[^ \n]")
    # lupdate reports texts it cannot read (a tr() of a variable, an unknown
    # class); they would go untranslated.
    message(FATAL_ERROR "lupdate complained about the sources:\n${output}")
  endif()
endfunction()

# Appends to the variable `out` one line for every entry of the catalogue text
# `ts` that has no finished translation (unfinished, vanished or obsolete).
function(rebound_list_open_entries ts what out)
  set(lines "${${out}}")
  # One list item per message; the texts' own semicolons and brackets are
  # kept out of the way of the list syntax.
  string(REPLACE ";" "@SEMICOLON@" ts "${ts}")
  string(REPLACE "[" "@LBRACKET@" ts "${ts}")
  string(REPLACE "]" "@RBRACKET@" ts "${ts}")
  string(REPLACE "</message>" ";" messages "${ts}")
  foreach(message IN LISTS messages)
    if(message MATCHES "<translation type=\"(unfinished|vanished|obsolete)\"")
      set(type "${CMAKE_MATCH_1}")
      string(REGEX MATCH "<source>[^<]*</source>" source "${message}")
      string(REGEX REPLACE "</?source>" "" source "${source}")
      string(REPLACE "@SEMICOLON@" ";" source "${source}")
      string(REPLACE "@LBRACKET@" "[" source "${source}")
      string(REPLACE "@RBRACKET@" "]" source "${source}")
      string(APPEND lines "  ${type} (${what}): ${source}\n")
    endif()
  endforeach()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  if(MODE STREQUAL "update")
    rebound_run_lupdate("${LUPDATE}" "${SOURCE_ROOT}" "${TS}")
    message(STATUS "Updated ${TS}")
  elseif(MODE STREQUAL "check")
    get_filename_component(name "${TS}" NAME)
    file(MAKE_DIRECTORY "${SCRATCH}")
    set(copy "${SCRATCH}/${name}")
    configure_file("${TS}" "${copy}" COPYONLY)
    rebound_run_lupdate("${LUPDATE}" "${SOURCE_ROOT}" "${copy}")
    file(READ "${TS}" committed)
    file(READ "${copy}" updated)
    set(problems "")
    if(NOT committed STREQUAL updated)
      string(APPEND problems
        "  ${name} is not what lupdate makes of the sources (texts added, changed or removed);\n"
        "  run `cmake --build <build> --target rebound_update_translations` and translate what is new.\n")
      rebound_list_open_entries("${updated}" "new or changed" problems)
    endif()
    rebound_list_open_entries("${committed}" "in ${name}" problems)
    if(problems)
      message(FATAL_ERROR "${name}:\n${problems}")
    endif()
    message(STATUS "${name}: every text of the sources is translated")
  else()
    message(FATAL_ERROR "MODE must be update or check")
  endif()
  return()
endif()

# ---- Build rules -----------------------------------------------------------------

# The Qt 6 language tools (Debian: qt6-l10n-tools); a cross build runs the
# host's.
set(_qt_tool_hints /usr/lib/qt6/bin)
if(QT6_INSTALL_PREFIX AND QT6_INSTALL_BINS)
  list(PREPEND _qt_tool_hints "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
endif()
if(QT_HOST_PATH)
  list(APPEND _qt_tool_hints "${QT_HOST_PATH}/bin" "${QT_HOST_PATH}/lib/qt6/bin")
endif()
find_program(REBOUND_LRELEASE NAMES lrelease lrelease-qt6 HINTS ${_qt_tool_hints})
find_program(REBOUND_LUPDATE NAMES lupdate lupdate-qt6 HINTS ${_qt_tool_hints})

# rebound_add_translations(TARGET LANGUAGES...): compiles
# translations/rebound_<language>.ts for each language into the target's
# build folder (translations/ beside the executable), lists the .qm files in
# REBOUND_QM_FILES (for the install rules), and adds the target
# rebound_update_translations and the test translations.complete.
function(rebound_add_translations target)
  if(NOT REBOUND_LRELEASE OR NOT REBOUND_LUPDATE)
    message(FATAL_ERROR "lrelease and lupdate of Qt 6 are needed for the window's translations "
      "(Debian: apt-get install qt6-l10n-tools, or ./scripts/deps.sh)")
  endif()
  set(out "${CMAKE_CURRENT_BINARY_DIR}/translations")
  set(qm_files "")
  set(ts_files "")
  foreach(language IN LISTS ARGN)
    set(ts "${PROJECT_SOURCE_DIR}/translations/rebound_${language}.ts")
    set(qm "${out}/rebound_${language}.qm")
    add_custom_command(OUTPUT "${qm}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
      COMMAND "${REBOUND_LRELEASE}" -silent "${ts}" -qm "${qm}"
      DEPENDS "${ts}"
      COMMENT "Compiling the translation rebound_${language}.qm")
    list(APPEND qm_files "${qm}")
    list(APPEND ts_files "${ts}")
  endforeach()
  add_custom_target(${target}_translations ALL DEPENDS ${qm_files})
  add_dependencies(${target} ${target}_translations)
  set(REBOUND_QM_FILES ${qm_files} CACHE INTERNAL "The window's compiled translations")
  set(REBOUND_QM_DIR "${out}" CACHE INTERNAL "Folder of the window's compiled translations in the build tree")

  set(updates "")
  foreach(ts IN LISTS ts_files)
    list(APPEND updates COMMAND ${CMAKE_COMMAND} -DMODE=update -DLUPDATE=${REBOUND_LUPDATE}
      -DSOURCE_ROOT=${PROJECT_SOURCE_DIR} -DTS=${ts} -P ${PROJECT_SOURCE_DIR}/cmake/Translations.cmake)
    get_filename_component(name "${ts}" NAME_WE)
    if(REBOUND_BUILD_TESTS)
      add_test(NAME translations.complete.${name}
        COMMAND ${CMAKE_COMMAND} -DMODE=check -DLUPDATE=${REBOUND_LUPDATE} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}
          -DTS=${ts} -DSCRATCH=${PROJECT_BINARY_DIR}/translation-check
          -P ${PROJECT_SOURCE_DIR}/cmake/Translations.cmake)
      set_tests_properties(translations.complete.${name} PROPERTIES LABELS window)
    endif()
  endforeach()
  add_custom_target(rebound_update_translations ${updates}
    COMMENT "Bringing the translation catalogues in line with the sources" VERBATIM)
endfunction()
