# ship_without_debug_info(<target>)
# A deliverable ships without its debug information, which goes beside it
# as <file>.debug (linked by .gnu_debuglink, so gdb and winedbg still find
# it). Left in, it is most of the file (qbsetup.exe: 4.7 of 5.2 MB), and
# Wine reads every section of an image whose sections are not page-aligned
# (MinGW's are not) when it loads it. Both files are linked reproducibly
# and carry the commit's time stamp (ReproducibleBuild.cmake): objcopy and
# strip run with it too.
function(ship_without_debug_info target)
  link_reproducibly(${target})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${QUILLBAR_WITH_COMMIT_TIME} ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${QUILLBAR_WITH_COMMIT_TIME} ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    COMMAND ${QUILLBAR_WITH_COMMIT_TIME} ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
