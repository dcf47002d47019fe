# What both MinGW-w64 toolchain files share: the win32 thread model, a static
# runtime, and Wine to run the results. The posix model would link
# winpthreads, which imports GetTickCount64 and so needs Windows Vista; the
# win32 model's runtime imports only what Windows XP has, but gives no
# std::thread, std::mutex or std::condition_variable: our code uses the
# owners in common/ (Thread, ExclusiveLock, Event). Everything is built with
# this one model, tests and stand-ins too: objects compiled with one model
# must not be linked with the other. The including file sets MINGW_PREFIX, CMAKE_SYSTEM_PROCESSOR and
# the widl and Wine settings for its bitness.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER  ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: the binaries need no MinGW DLLs inside the Wine prefix.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Type libraries: one widl for both bitnesses, told which one to describe;
# the system IDL files come with libwine-dev, stdole2.tlb (for importlib)
# with Wine of the same bitness.
set(WIDL x86_64-w64-mingw32-widl)
set(WIDL_IDL_DIR /usr/include/wine/wine/windows)

# CTest and gtest_discover_tests start the test programs through this wrapper,
# which refuses to run outside a private Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
