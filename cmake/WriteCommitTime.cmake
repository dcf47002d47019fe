# cmake -DSOURCE_DIR=<checkout> -DOUTPUT=<file> -P WriteCommitTime.cmake
# Writes the time stamp of the build's binaries into OUTPUT, as seconds
# since 1970: SOURCE_DATE_EPOCH where the caller sets it, otherwise the
# time of the checkout's last commit, otherwise (no git, no history) 0.
# The file is rewritten only when the time changed, so that an unchanged
# time links nothing again.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(time "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE time ERROR_VARIABLE error RESULT_VARIABLE result
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0 OR time STREQUAL "")
    message(WARNING "no commit to take the binaries' time stamp from (${error}): they carry 0")
    set(time 0)
  endif()
endif()
if(NOT time MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not '${time}'")
endif()
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL "${time}\n")
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${time}\n")
