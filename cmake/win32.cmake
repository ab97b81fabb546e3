# Settings shared by every Win32 target: Unicode, a Windows 7 API floor, and
# (with MinGW) a static runtime so the executable needs only Windows' own DLLs.
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
endif()

if(MINGW)
  # A small executable: every function in a section of its own, and the
  # linker drops whatever nothing calls. Release builds are optimised for size.
  add_compile_options(-ffunction-sections -fdata-sections $<$<CONFIG:Release>:-Os>)
  add_link_options(-Wl,--gc-sections)
endif()
