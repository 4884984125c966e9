# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix thread model, as GoogleTest
# wants). The runtime is linked statically so that the one .exe runs on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVRIN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The C runtime declares the POSIX gmtime_r only on request.
set(CMAKE_CXX_FLAGS_INIT "-D_POSIX_THREAD_SAFE_FUNCTIONS=200112L")

# The build machine's processor says nothing about the one the .exe will run on.
set(TAVRIN_PORTABLE ON CACHE BOOL "Build for x86-64-v2 instead of -march=native")

# Cross-built test programs run under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
