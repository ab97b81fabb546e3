# Cross-compiles the Windows build with MinGW-w64 (32-bit, posix thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
find_program(WINE_PROGRAM wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
