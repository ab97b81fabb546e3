# Cross-compiles a 64-bit build of the same sources with MinGW-w64 (posix
# thread model). Daymarker ships as the 32-bit build; this one runs the Win32
# tests on machines whose kernel cannot run 32-bit programs, where only 64-bit
# Wine works.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The 64-bit loader itself: Debian's wine command picks the 32-bit one
# whenever it is installed, whether or not the kernel can start it.
find_program(WINE_PROGRAM wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT WINE_PROGRAM)
  find_program(WINE_PROGRAM wine64)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
