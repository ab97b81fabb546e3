#include "ui/about/sysinfo.h"

#include <gtest/gtest.h>

#include <string>

#include "about_test_support.h"

namespace daymarker {
namespace {

using namespace about_testing;

constexpr wchar_t kScratchKey[] = L"Software\\Tolvane\\DaymarkerAboutTests";

class GetKeyValueTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
};

TEST_F(GetKeyValueTest, ReadsEachStoredForm) {
  const std::wstring path = L"C:\\Program Files\\Tools\\msinfo32.exe";
  const std::wstring fits(511, L'x');  // with its terminator exactly the 1024-byte buffer
  const std::wstring fitsBare(512, L'y');
  const struct {
    const char* name;
    RawValue stored;
    bool result;
    std::wstring text;  // KeyVal comes in as "before"
  } cases[] = {
      {"text with terminator", Text(REG_SZ, path), true, path},
      {"text without terminator", Text(REG_SZ, path, false), true, path},
      {"text of no bytes", RawValue{REG_SZ, {}}, true, L""},
      {"text filling the buffer", Text(REG_SZ, fits), true, fits},
      {"bare text filling the buffer", Text(REG_SZ, fitsBare, false), true, fitsBare},
      {"text over the buffer", Text(REG_SZ, fitsBare), false, L""},
      {"odd byte count", RawValue{REG_SZ, {'A', 0, 'B'}}, true, L"A"},
      {"dword", Dword(0x12345678), true, L"&h12345678"},
      {"dword with a zero top byte", Dword(1), true, L"&h000001"},
      {"dword in upper-case hex", Dword(0xABCDEF09), true, L"&hABCDEF09"},
      {"dword with zeros inside", Dword(0x00AB00CD), true, L"&hAB00CD"},
      {"dword with a zero low byte", Dword(0x12345600), true, L"&h12345600"},
      {"dword of two bytes", RawValue{REG_DWORD, {0x34, 0x12}}, true, L"&h1234"},
      {"dword of no bytes", RawValue{REG_DWORD, {}}, true, L"&h"},
      {"expandable text", Text(REG_EXPAND_SZ, L"%SystemRoot%\\x.exe"), true, L"before"},
      {"binary", RawValue{REG_BINARY, std::vector<BYTE>(16, 0x41)}, true, L"before"},
      {"big-endian dword", RawValue{REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}}, true, L"before"},
      {"binary over the buffer", RawValue{REG_BINARY, std::vector<BYTE>(4096, 1)}, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kScratchKey, L"Value", c.stored));
    std::wstring value = L"before";
    EXPECT_EQ(GetKeyValue(HKEY_CURRENT_USER, kScratchKey, L"Value", value), c.result);
    EXPECT_EQ(value, c.text);
  }
}

TEST_F(GetKeyValueTest, FailsWithEmptyTextWhereNothingIsStored) {
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kScratchKey, L"PATH", Text(REG_SZ, L"found")));
  const std::wstring longer = std::wstring(kScratchKey) + L"\\Missing";
  const struct {
    const char* name;
    std::wstring_view key;
    std::wstring_view value;
    bool result;
  } cases[] = {
      {"missing key", longer, L"PATH", false},
      {"missing value", kScratchKey, L"Other", false},
      {"unnamed value never set", kScratchKey, L"", false},
      // Views ending inside longer strings: only the viewed part may count.
      {"names that are views", std::wstring_view(longer).substr(0, longer.size() - 8),
       std::wstring_view(L"PATHS").substr(0, 4), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring value = L"before";
    EXPECT_EQ(GetKeyValue(HKEY_CURRENT_USER, c.key, c.value, value), c.result);
    EXPECT_EQ(value, c.result ? L"found" : L"");
  }
}

// StartSysInfo against the machine's own keys (saved and restored) and copies
// of the probe program.
enum class PathValue { kAbsent, kProbe, kProbeExtraNul, kMissingFile, kExpandable };
enum class Tool { kNone, kProbe, kHidden, kSystem, kFolder };
enum class Expect { kPathProbe, kFolderProbe, kMessage };

struct LaunchCase {
  const char* name;
  PathValue path;
  bool locationSet;
  Tool tool;
  bool spaces;  // in the folder and file names
  Expect expect;
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoTest, StartsTheToolOrSaysItIsUnavailable) {
  const LaunchCase& c = GetParam();
  const MsinfoKeysGuard keys;
  const std::string leaf = c.name;
  const ScratchFolder scratch(std::wstring(leaf.begin(), leaf.end()));
  // The program the first key names lives apart from the folder the second names.
  const std::wstring pathFolder = scratch.Path() + (c.spaces ? L"\\named by path" : L"\\path");
  const std::wstring toolFolder = scratch.Path() + (c.spaces ? L"\\tool folder" : L"\\tool");
  const std::wstring pathProbe = pathFolder + (c.spaces ? L"\\sys info.exe" : L"\\probe.exe");
  const std::wstring folderProbe = toolFolder + L"\\MSINFO32.EXE";
  ASSERT_TRUE(::CreateDirectoryW(pathFolder.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(toolFolder.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileW(ProbeProgram().c_str(), pathProbe.c_str(), FALSE));

  const auto writePath = [](const RawValue& value) {
    return WriteValue(HKEY_LOCAL_MACHINE, kMsinfoKey, L"PATH", value);
  };
  switch (c.path) {
    case PathValue::kAbsent:
      break;
    case PathValue::kProbe:
      ASSERT_TRUE(writePath(Text(REG_SZ, pathProbe)));
      break;
    case PathValue::kProbeExtraNul:
      ASSERT_TRUE(writePath(Text(REG_SZ, pathProbe + L'\0')));
      break;
    case PathValue::kMissingFile:
      ASSERT_TRUE(writePath(Text(REG_SZ, pathFolder + L"\\missing.exe")));
      break;
    case PathValue::kExpandable:
      ASSERT_TRUE(writePath(Text(REG_EXPAND_SZ, pathProbe)));
      break;
  }
  if (c.locationSet) {
    ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, kLocationKey, L"MSINFO", Text(REG_SZ, toolFolder)));
  }
  if (c.tool == Tool::kFolder) {
    ASSERT_TRUE(::CreateDirectoryW(folderProbe.c_str(), nullptr));
  } else if (c.tool != Tool::kNone) {
    ASSERT_TRUE(::CopyFileW(ProbeProgram().c_str(), folderProbe.c_str(), FALSE));
    const DWORD attribute = c.tool == Tool::kHidden   ? FILE_ATTRIBUTE_HIDDEN
                            : c.tool == Tool::kSystem ? FILE_ATTRIBUTE_SYSTEM
                                                      : 0;
    if (attribute != 0) {
      ASSERT_TRUE(::SetFileAttributesW(folderProbe.c_str(), attribute));
      ASSERT_NE(::GetFileAttributesW(folderProbe.c_str()) & attribute, 0u) << "not kept";
    }
  }

  MessageBoxWatcher watcher;
  StartSysInfo(nullptr);
  const std::optional<SeenBox> box = watcher.Finish();
  ASSERT_EQ(box.has_value(), c.expect == Expect::kMessage);
  if (box) {
    EXPECT_EQ(box->text, L"System Information Is Unavailable At This Time");
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(box->hasIcon);
  }
  for (const auto& [program, expected] :
       {std::pair{pathProbe, c.expect == Expect::kPathProbe},
        std::pair{folderProbe, c.expect == Expect::kFolderProbe}}) {
    SCOPED_TRACE(::testing::PrintToString(program));
    // A start that should not happen is given a moment to show itself.
    const std::optional<ProbeReport> report = WaitForProbe(program, expected ? 15s : 1s);
    ASSERT_EQ(report.has_value(), expected);
    if (report) {
      EXPECT_EQ(report->commandLine, L"\"" + program + L"\"");
      EXPECT_EQ(report->showCommand, std::to_wstring(SW_SHOWNORMAL));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, StartSysInfoTest,
    ::testing::Values(LaunchCase{"PathNamesTheProgram", PathValue::kProbe, false, Tool::kNone,
                                 false, Expect::kPathProbe},
                      LaunchCase{"PathWithSpaces", PathValue::kProbe, false, Tool::kNone, true,
                                 Expect::kPathProbe},
                      LaunchCase{"PathEndingInAnExtraNul", PathValue::kProbeExtraNul, false,
                                 Tool::kNone, false, Expect::kPathProbe},
                      LaunchCase{"PathComesFirst", PathValue::kProbe, true, Tool::kProbe, false,
                                 Expect::kPathProbe},
                      LaunchCase{"PathToAMissingFileIsNotReplaced", PathValue::kMissingFile, true,
                                 Tool::kProbe, false, Expect::kMessage},
                      LaunchCase{"PathOfAnotherTypeIsNotReplaced", PathValue::kExpandable, true,
                                 Tool::kProbe, false, Expect::kMessage},
                      LaunchCase{"FolderHoldsTheTool", PathValue::kAbsent, true, Tool::kProbe,
                                 false, Expect::kFolderProbe},
                      LaunchCase{"FolderWithSpaces", PathValue::kAbsent, true, Tool::kProbe, true,
                                 Expect::kFolderProbe},
                      LaunchCase{"FolderLacksTheTool", PathValue::kAbsent, true, Tool::kNone, false,
                                 Expect::kMessage},
                      LaunchCase{"HiddenToolDoesNotCount", PathValue::kAbsent, true, Tool::kHidden,
                                 false, Expect::kMessage},
                      LaunchCase{"SystemToolDoesNotCount", PathValue::kAbsent, true, Tool::kSystem,
                                 false, Expect::kMessage},
                      LaunchCase{"FolderNamedLikeTheTool", PathValue::kAbsent, true, Tool::kFolder,
                                 false, Expect::kMessage},
                      LaunchCase{"NeitherKey", PathValue::kAbsent, false, Tool::kProbe, false,
                                 Expect::kMessage}),
    [](const ::testing::TestParamInfo<LaunchCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace daymarker
