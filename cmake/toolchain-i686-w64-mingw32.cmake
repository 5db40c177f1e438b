# Cross build for 32-bit Windows with Debian's mingw-w64 compilers:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
# The third-party libraries come from scripts/windows_deps.sh, built from
# Debian's sources into FELTRIX_WINDOWS_DEPS (default
# ~/.cache/feltrix-windows-deps/i686-w64-mingw32). Tests run under wine
# through scripts/wine_run.sh (ctest in the build folder).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FELTRIX_TRIPLE i686-w64-mingw32)

# The -posix compilers: GCC 12's default ones (win32 thread model) have no
# std::thread, std::mutex or std::condition_variable.
set(CMAKE_C_COMPILER ${FELTRIX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FELTRIX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FELTRIX_TRIPLE}-windres)

if(NOT FELTRIX_WINDOWS_DEPS)
  if(DEFINED ENV{FELTRIX_WINDOWS_DEPS})
    set(FELTRIX_WINDOWS_DEPS $ENV{FELTRIX_WINDOWS_DEPS})
  else()
    set(FELTRIX_WINDOWS_DEPS $ENV{HOME}/.cache/feltrix-windows-deps/${FELTRIX_TRIPLE})
  endif()
endif()
set(FELTRIX_WINDOWS_DEPS ${FELTRIX_WINDOWS_DEPS} CACHE PATH "Prefix of the cross-built libraries")

set(CMAKE_FIND_ROOT_PATH /usr/${FELTRIX_TRIPLE} ${FELTRIX_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${FELTRIX_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# SSE2 arithmetic instead of the x87 unit: the audio thread's flush of
# denormals to zero (MXCSR) only governs SSE, and results match the 64-bit
# Linux build's.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# Everything static (the C++ runtime, winpthread and the libraries): the
# program and the DLL are single files that need nothing beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest runs every cross-built program under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine_run.sh)
