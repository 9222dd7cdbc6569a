# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix,
# the POSIX thread model that std::thread and std::mutex need):
#   cmake -S . -B build/mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DVENTREL_GUI=OFF -DVENTREL_SCENARIO=OFF -DVENTREL_GTEST_SOURCE=/usr/src/googletest
# The programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR, for ctest).
# scripts/windows_check.sh does all of it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VENTREL_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Prefix of the MinGW-w64 tools")
set(CMAKE_C_COMPILER ${VENTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VENTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VENTREL_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; the build's own programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VENTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libstdc++, libgcc, winpthread) linked into each program,
# so that it runs without the MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's launcher (not on the PATH), or the one given.
find_program(VENTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VENTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VENTREL_WINE})
endif()
