#include "scratch_registry.h"

#include <atomic>

#include "settings/settings_store.h"

namespace daymarker::testing {

std::vector<BYTE> TextBytes(std::wstring_view text) {
  const auto* first = reinterpret_cast<const BYTE*>(text.data());
  return std::vector<BYTE>(first, first + text.size() * sizeof(wchar_t));
}

std::vector<BYTE> DwordBytes(std::uint32_t number) {
  return {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
          static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
}

std::optional<KeyContents> ReadKey(HKEY root, std::wstring_view path) {
  ScopedKey key;
  if (::RegOpenKeyExW(root, std::wstring(path).c_str(), 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS) {
    key.Release();
    return std::nullopt;
  }
  KeyContents contents;
  for (DWORD index = 0;; ++index) {
    // Names are at most 16383 characters; data here is at most a few MB.
    std::wstring name(16384, L'\0');
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &type, nullptr,
                        &size) != ERROR_SUCCESS) {
      break;
    }
    name.resize(nameLength);
    RawValue value{type, std::vector<BYTE>(size + 2)};
    DWORD received = static_cast<DWORD>(value.bytes.size());
    EXPECT_EQ(::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.bytes.data(),
                                 &received),
              ERROR_SUCCESS);
    value.bytes.resize(received);
    contents.emplace(name, std::move(value));
  }
  return contents;
}

bool KeyExists(HKEY root, std::wstring_view path) {
  ScopedKey key;
  const bool exists = ::RegOpenKeyExW(root, std::wstring(path).c_str(), 0, KEY_READ,
                                      key.Receive()) == ERROR_SUCCESS;
  if (!exists) {
    key.Release();
  }
  return exists;
}

namespace {

constexpr wchar_t kScratchParent[] = L"Software\\DaymarkerTestScratch";

std::atomic<int> gScratchCount = 0;

}  // namespace

void ScratchRegistry::SetUp() {
  scratchPath_ = std::wstring(kScratchParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) +
                 L"-" + std::to_wstring(++gScratchCount);
  realBefore_ = ReadKey(HKEY_CURRENT_USER, SettingsKeyPath());
  ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, scratch_.Receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, scratch_.Get()), ERROR_SUCCESS);
}

void ScratchRegistry::TearDown() {
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  scratch_.Reset();
  EXPECT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str()), ERROR_SUCCESS);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, scratchPath_.c_str());
  // Fails, as it should, while another test program still has a scratch key there.
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);
  EXPECT_EQ(ReadKey(HKEY_CURRENT_USER, SettingsKeyPath()), realBefore_)
      << "the program's real settings key changed";
}

void ScratchRegistry::Plant(std::wstring_view path, std::wstring_view name, DWORD type,
                            const std::vector<BYTE>& bytes) {
  ScopedKey key;
  ASSERT_EQ(::RegCreateKeyExW(Scratch(), std::wstring(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.Receive(), nullptr),
            ERROR_SUCCESS);
  std::vector<BYTE> padded = bytes;
  padded.insert(padded.end(), {0x41, 0x41, 0x41, 0x41});
  ASSERT_EQ(::RegSetValueExW(key.Get(), std::wstring(name).c_str(), 0, type, padded.data(),
                             static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
}

std::optional<RawValue> ScratchRegistry::Stored(std::wstring_view path, std::wstring_view name) {
  const std::optional<KeyContents> contents = ReadKey(Scratch(), path);
  if (!contents) {
    return std::nullopt;
  }
  const auto found = contents->find(std::wstring(name));
  if (found == contents->end()) {
    return std::nullopt;
  }
  return found->second;
}

}  // namespace daymarker::testing
