# Cross build for Windows i686 (see MinGWToolchain.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TSIS_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
