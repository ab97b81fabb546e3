// The version record as Windows reads it back from a built file.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "tests/win32/support/window_support.h"

namespace daymarker {
namespace {

std::wstring Dotted(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
         std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

// The file's numbers and its product's as Explorer shows them, then the texts
// of both and of the copyright as installers read them; nothing where unreadable.
std::array<std::wstring, 5> ReadVersionRecord(const std::wstring& file) {
  std::vector<BYTE> data(::GetFileVersionInfoSizeW(file.c_str(), nullptr));
  if (!::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) {
    return {};
  }
  const auto query = [&](const std::wstring& path) -> void* {
    void* value = nullptr;
    UINT size = 0;
    return ::VerQueryValueW(data.data(), path.c_str(), &value, &size) && size > 0 ? value : nullptr;
  };
  const auto text = [&](const wchar_t* name) {
    const void* value = query(std::wstring(L"\\StringFileInfo\\040904B0\\") + name);
    return std::wstring(value != nullptr ? static_cast<const wchar_t*>(value) : L"(none)");
  };
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
  if (fixed == nullptr) {
    return {};
  }
  return {Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS),
          Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS), text(L"FileVersion"),
          text(L"ProductVersion"), text(L"LegalCopyright")};
}

// Explorer's properties show the numbers, installers and scripts read the
// texts: both say the same version, file and product alike. This program
// carries the program's own resources, whose copyright the About window
// shows; the probe the same record with a revision, which is where the two
// forms used to part.
TEST(VersionRecord, NumbersAndTextsAgreeBesideTheCopyright) {
  for (const auto& [file, version, copyright] :
       {std::tuple{testing::BesideThisProgram(L"about_tests.exe"), L"1.3.0.0",
                   L"Copyright (C) 2026 Tolvane"},
        std::tuple{testing::BesideThisProgram(L"sysinfo_probe.exe"), L"2.5.0.7", L"Probe"}}) {
    EXPECT_EQ(ReadVersionRecord(file),
              (std::array<std::wstring, 5>{version, version, version, version, copyright}))
        << file;
  }
}

}  // namespace
}  // namespace daymarker
