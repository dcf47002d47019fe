# CTest runs a GoogleTest program one suite at a time: each suite of the
# program is one CTest test, all its tests in one process. Under Wine a
# process start costs far more than most of our tests (several times more
# where 32-bit programs run under emulation), so one process per test would
# spend most of a run starting processes.
#
#   add_test_suites(<target> [TEST_PREFIX <prefix>] [DISCOVERY_TIMEOUT <s>]
#                   [PROPERTIES <name> <value> ...])
#
# The suites are listed when CTest runs, through the cross-compiling
# emulator (tools/wine-run, inside the run's own prefix), and again only when
# the program was rebuilt or this rule's output changed. A suite's test is named after the suite
# ("RegistryKeyTest", "EveryHost/InstallRootProbeTest") and gets PROPERTIES.
function(add_test_suites target)
  cmake_parse_arguments(ARG "" "TEST_PREFIX;DISCOVERY_TIMEOUT" "PROPERTIES" ${ARGN})
  if(NOT ARG_DISCOVERY_TIMEOUT)
    set(ARG_DISCOVERY_TIMEOUT 300)
  endif()
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  set(properties "")
  foreach(item IN LISTS ARG_PROPERTIES)
    string(APPEND properties " [==[${item}]==]")
  endforeach()
  file(GENERATE OUTPUT "${base}_suites_include.cmake" CONTENT
"set(executable [==[$<TARGET_FILE:${target}>]==])
set(suites_file [==[${base}_suites.cmake]==])
if(NOT EXISTS \"\${executable}\")
  add_test([==[${ARG_TEST_PREFIX}${target}_NOT_BUILT]==] [==[${target}_NOT_BUILT]==])
  return()
endif()
if(NOT EXISTS \"\${suites_file}\" OR \"\${executable}\" IS_NEWER_THAN \"\${suites_file}\" OR
   \"\${CMAKE_CURRENT_LIST_FILE}\" IS_NEWER_THAN \"\${suites_file}\")
  include([==[${CMAKE_SOURCE_DIR}/cmake/TestSuitesList.cmake]==])
  list_test_suites(
    EXECUTABLE \"\${executable}\"
    EMULATOR [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==]
    WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==]
    LIST_TIMEOUT ${ARG_DISCOVERY_TIMEOUT}
    TEST_PREFIX [==[${ARG_TEST_PREFIX}]==]
    PROPERTIES ${properties}
    OUTPUT \"\${suites_file}\")
endif()
include(\"\${suites_file}\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${base}_suites_include.cmake")
endfunction()
