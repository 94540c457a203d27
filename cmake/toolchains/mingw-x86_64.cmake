# Cross build for 64-bit Windows with mingw-w64 (posix threads flavour).
# Needs Debian's g++-mingw-w64-x86-64-posix and libz-mingw-w64-dev (scripts/setup.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLET_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLET_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# A Windows user has none of mingw's runtime DLLs: link libgcc, libstdc++ and
# winpthreads into every binary.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
