# Cross build for Windows x86_64 (see MinGWToolchain.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TSIS_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
