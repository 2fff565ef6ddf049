# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (GCC with POSIX threads, so
# std::thread works). Used by tools/build-windows for libjpeg-turbo, GoogleTest and the
# project itself:
#
#   cmake -S . -B build-windows/cross -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(VESKAN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VESKAN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKAN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKAN_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW tree (and from prefixes named on the
# command line); programs such as nasm from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VESKAN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one file that needs no DLL of the compiler's beside it (libstdc++,
# libgcc, winpthread are linked in), so a test or Project1.scr runs wherever it is copied.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, through a wrapper that insists on the private prefix
# the test run made (tools/test-windows).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
