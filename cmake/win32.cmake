# Settings shared by every Win32 target: Unicode, a Windows 7 API floor, and
# a static runtime so the executable needs only Windows' own DLLs.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

if(MINGW)
  # No exceptions, so no unwind tables either: nothing in the program throws or
  # catches one (see app/runtime_errors.cpp). No run-time type information:
  # nothing asks for it.
  add_compile_options(-fno-exceptions -fno-asynchronous-unwind-tables -fno-rtti)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # ASLR with relocations kept, and DEP. (No link option limits DLL lookups to
  # System32: the program does that as it starts, in app/program.cpp.)
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
  # The same sources give the same bytes wherever and whenever they are built,
  # so anyone can rebuild a release and compare its hash: no source folder in
  # __FILE__ or debug information, and no link time in the header (the
  # checksum the linker computes over the file then follows from the rest).
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
  add_link_options(-Wl,--no-insert-timestamp)
  # A small executable: every function in a section of its own, and the
  # linker drops whatever nothing calls. Release builds are optimised for size,
  # and GCC's objects carry its own form as well, which the program
  # links with optimisation across its files (app/CMakeLists.txt); the test
  # programs link the ordinary code, quickly.
  add_compile_options(-ffunction-sections -fdata-sections $<$<CONFIG:Release>:-Os>
    "$<$<AND:$<CONFIG:Release>,$<CXX_COMPILER_ID:GNU>>:-flto;-ffat-lto-objects>")
  add_link_options(-Wl,--gc-sections "$<$<AND:$<CONFIG:Release>,$<CXX_COMPILER_ID:GNU>>:-fno-lto>")
endif()

if(MSVC)
  # The static C and C++ runtime with MSVC too (policy CMP0091, new since
  # CMake 3.15), so a build on Windows needs no runtime installed either.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()
