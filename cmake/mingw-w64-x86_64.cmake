# Cross-compiles for 64-bit Windows: the shell extension once more, for a
# 64-bit Explorer and 64-bit script hosts.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
set(WIDL_TARGET --win64)
set(WIDL_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
