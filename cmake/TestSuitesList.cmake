# Run by CTest (see TestSuites.cmake): lists a GoogleTest program's suites and
# writes a CTest file with one test per suite.
function(list_test_suites)
  cmake_parse_arguments(ARG "" "EXECUTABLE;EMULATOR;WORKING_DIRECTORY;LIST_TIMEOUT;TEST_PREFIX;OUTPUT"
                        "PROPERTIES" ${ARGN})
  execute_process(
    COMMAND "${ARG_EMULATOR}" "${ARG_EXECUTABLE}" --gtest_list_tests
    WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}"
    TIMEOUT ${ARG_LIST_TIMEOUT}
    OUTPUT_VARIABLE listing
    ERROR_VARIABLE listing
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not list the tests of ${ARG_EXECUTABLE} (${result}):\n${listing}")
  endif()

  # A suite's line starts in the first column and ends with a dot (a typed
  # or parameterised suite may add a comment); its tests' lines are indented.
  string(REPLACE "\r" "" listing "${listing}")
  string(REPLACE ";" "\\;" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(script "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
      set(name "${ARG_TEST_PREFIX}${suite}")
      string(APPEND script
        "add_test([==[${name}]==] [==[${ARG_EMULATOR}]==] [==[${ARG_EXECUTABLE}]==] "
        "[==[--gtest_filter=${suite}.*]==])\n"
        "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY "
        "[==[${ARG_WORKING_DIRECTORY}]==]")
      foreach(item IN LISTS ARG_PROPERTIES)
        string(APPEND script " [==[${item}]==]")
      endforeach()
      string(APPEND script ")\n")
    endif()
  endforeach()
  if(script STREQUAL "")
    message(FATAL_ERROR "${ARG_EXECUTABLE} lists no tests:\n${listing}")
  endif()
  file(WRITE "${ARG_OUTPUT}" "${script}")
endfunction()
