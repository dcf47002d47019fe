# The same commit, built in any folder, gives the same bytes.
#
# No folder of the build's machine gets into an object file: the source and
# build folders are written as "." and "build" in debug information and
# __FILE__ (the build folder's map comes last, so that it wins where the
# build folder lies inside the source folder).
#
# Time stamps come from the commit: the commit_time target writes the last
# commit's time (or SOURCE_DATE_EPOCH, where the caller sets it) into
# QUILLBAR_COMMIT_TIME_FILE at every build, rewriting the file only when the
# time changed. cmake/with-commit-time runs a command with SOURCE_DATE_EPOCH
# set from that file: ld takes a PE image's time stamp from it, and objcopy
# and strip keep it (without it they stamp the current time).
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")

set(QUILLBAR_COMMIT_TIME_FILE ${CMAKE_BINARY_DIR}/commit-time)
set(QUILLBAR_WITH_COMMIT_TIME ${CMAKE_CURRENT_LIST_DIR}/with-commit-time ${QUILLBAR_COMMIT_TIME_FILE})
add_custom_target(commit_time ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${QUILLBAR_COMMIT_TIME_FILE}
          -P ${CMAKE_CURRENT_LIST_DIR}/WriteCommitTime.cmake
  BYPRODUCTS ${QUILLBAR_COMMIT_TIME_FILE}
  COMMENT "Reading the last commit's time"
  VERBATIM)

# link_reproducibly(<target>)
# Links <target> with the commit's time as its time stamp, and links it again
# when that time changes. A library gets ld's fixed image base: the one ld
# chooses by itself is a hash of the output's path, which for the 64-bit
# build is absolute.
function(link_reproducibly target)
  target_link_options(${target} PRIVATE
    "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,SHARED_LIBRARY>:-Wl,--disable-auto-image-base>")
  add_dependencies(${target} commit_time)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLBAR_COMMIT_TIME_FILE})
  set_target_properties(${target} PROPERTIES
    C_LINKER_LAUNCHER "${QUILLBAR_WITH_COMMIT_TIME}"
    CXX_LINKER_LAUNCHER "${QUILLBAR_WITH_COMMIT_TIME}")
endfunction()
