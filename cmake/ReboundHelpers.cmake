# rebound_add_gtest(NAME SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
function(rebound_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;XDG_CONFIG_HOME=${REBOUND_TEST_CONFIG_HOME}")
endfunction()

# rebound_add_qttest(NAME SOURCES... LIBS ...): one Qt Test executable run on the offscreen platform.
function(rebound_add_qttest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;XDG_CONFIG_HOME=${REBOUND_TEST_CONFIG_HOME}")
endfunction()

# Per-user settings written by a test land in the build tree, never in the
# real user's settings (window tests also give each test its own folder).
set(REBOUND_TEST_CONFIG_HOME ${PROJECT_BINARY_DIR}/test-config)

include(GoogleTest)
