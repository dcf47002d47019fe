# Cross-compiles for 32-bit Windows, the bitness of Office 2000-2003, their
# add-ins and the product's installation: the main build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
set(WIDL_TARGET --win32)
set(WIDL_TLB_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
