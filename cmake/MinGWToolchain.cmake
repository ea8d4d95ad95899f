# The cross build for Windows with Debian's MinGW-w64 posix-thread compilers
# (std::thread and std::mutex need the posix flavour), for the architecture
# TSIS_MINGW_ARCH the toolchain-mingw-ARCH.cmake file names. Qt and SQLite come
# from scripts/windows-prereqs.sh ARCH, which prints the prefix for -DTSIS_WINDOWS_PREFIX=...
set(CMAKE_SYSTEM_NAME Windows)
set(TSIS_MINGW_TRIPLE ${TSIS_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${TSIS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TSIS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TSIS_MINGW_TRIPLE}-windres)

# try_compile projects read this file again without the cache: the environment
# carries the prefix into them.
if(NOT DEFINED TSIS_WINDOWS_PREFIX AND DEFINED ENV{TSIS_WINDOWS_PREFIX})
  set(TSIS_WINDOWS_PREFIX "$ENV{TSIS_WINDOWS_PREFIX}")
endif()
if(NOT DEFINED TSIS_WINDOWS_PREFIX)
  if(DEFINED ENV{TSIS_WINDOWS_CACHE})
    set(TSIS_WINDOWS_PREFIX "$ENV{TSIS_WINDOWS_CACHE}/${TSIS_MINGW_ARCH}/prefix")
  else()
    set(TSIS_WINDOWS_PREFIX "$ENV{HOME}/.cache/tsisbridge-windows/${TSIS_MINGW_ARCH}/prefix")
  endif()
endif()
set(TSIS_WINDOWS_PREFIX "${TSIS_WINDOWS_PREFIX}" CACHE PATH "Where Qt and SQLite for Windows (${TSIS_MINGW_ARCH}) are installed")
set(ENV{TSIS_WINDOWS_PREFIX} "${TSIS_WINDOWS_PREFIX}")

set(CMAKE_FIND_ROOT_PATH /usr/${TSIS_MINGW_TRIPLE} "${TSIS_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine starts 32- and 64-bit programs alike.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The GCC, C++ and winpthread runtimes go into each binary, so no MinGW DLL
# has to ship beside it; -static still links DLLs through their import libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
# Keeps CMake from switching to -Bdynamic after a static item (FindODBC's
# libodbc32.a), which would let libstdc++ and winpthread link as DLLs again.
set(CMAKE_LINK_SEARCH_START_STATIC ON)
set(CMAKE_LINK_SEARCH_END_STATIC ON)
