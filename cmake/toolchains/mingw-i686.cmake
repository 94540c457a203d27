# Cross build for 32-bit Windows with mingw-w64 (posix threads flavour).
# Needs Debian's g++-mingw-w64-i686-posix and libz-mingw-w64-dev (scripts/setup.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLET_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLET_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# SSE2 arithmetic instead of the x87 unit, so this build computes exactly what
# the 64-bit build computes (x87 keeps 80-bit intermediates).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
