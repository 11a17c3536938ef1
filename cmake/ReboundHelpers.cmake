# Tests of a build with the sanitizers carry the label "sanitize" besides their
# own: tests/ and fuzz/ set it as a directory label (rebound_label_directory).
macro(rebound_label_directory)
  if(REBOUND_SANITIZE)
    set_property(DIRECTORY APPEND PROPERTY LABELS sanitize)
  endif()
endmacro()

# rebound_add_gtest(NAME SOURCES... LIBS... LABEL label): one GoogleTest
# executable registered with CTest, each of its tests carrying the label.
function(rebound_add_gtest name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The discovered tests get their properties through a generated script that
  # splits any list into words, so every property here has a single value.
  # (The per-user settings folder of the Qt tests is not needed here: only
  # the window tests touch per-user settings.)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION "LC_ALL=set:C.UTF-8"
               LABELS ${ARG_LABEL})
endfunction()

# rebound_add_qttest(NAME SOURCES... LIBS... LABELS...): one Qt Test executable
# run on the offscreen platform.
function(rebound_add_qttest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;XDG_CONFIG_HOME=${REBOUND_TEST_CONFIG_HOME}"
    LABELS "${ARG_LABELS}")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    # Under Wine one process runs every test function of the suite, each
    # with its windows: up to about 95 seconds on two busy cores, more than
    # the minute the run gives a test.
    set_tests_properties(${name} PROPERTIES TIMEOUT 180)
  endif()
endfunction()

# Per-user settings written by a test land in the build tree, never in the
# real user's settings (window tests also give each test its own folder).
set(REBOUND_TEST_CONFIG_HOME ${PROJECT_BINARY_DIR}/test-config)

include(GoogleTest)

# rebound_qt_strict(TARGET...): the Qt parts of the program convert between
# 8-bit texts and QString only where the code says how (QStringLiteral,
# QLatin1String, fromUtf8, the ANSI converter), never implicitly: an implicit
# conversion would take GBK bytes for UTF-8.
function(rebound_qt_strict)
  foreach(target IN LISTS ARGN)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
  endforeach()
endfunction()
