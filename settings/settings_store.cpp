#include "settings/settings_store.h"

#include "core/version.h"

namespace daymarker {
namespace {

// Namespace scope, so it exists before any window and outlives them all.
SettingValues gAppSettings;

}  // namespace

std::wstring SettingsKeyPath() {
  std::wstring path = L"Software\\";
  path += kCompanyName;
  path += L'\\';
  path += kAppTitle;
  return path;
}

bool LoadSettings(SettingValues& values) {
  const std::wstring path = SettingsKeyPath();
  bool found = false;
  for (SettingId id : kSettingIds) {
    const std::wstring text = ReadRegSetting(HKEY_CURRENT_USER, path, SettingName(id));
    if (ApplySettingText(id, text, values)) {
      found = true;
    }
  }
  return found;
}

LONG SettingRegType(SettingId id) {
  return id == SettingId::Event ? REG_SZ : REG_DWORD;
}

RegData SettingRegData(SettingId id, const SettingValues& values) {
  switch (id) {
    case SettingId::WindowX:
      return values.WindowLeft;
    case SettingId::WindowY:
      return values.WindowTop;
    case SettingId::DateNTime:
      return values.EventSeconds;
    case SettingId::Event:
      return values.EventName;
    case SettingId::Display:
      return std::int32_t{values.DisplayLevel};
    case SettingId::Update:
      return std::int32_t{values.UpdateIndex};
    case SettingId::OnlyUnits:
      return std::int32_t{values.OnlyUnitsFlag};
  }
  return RegData();
}

bool SaveSettingsWith(const SettingValues& values, const SettingWriter& write) {
  const std::wstring path = SettingsKeyPath();
  bool ok = true;
  for (SettingId id : kSettingIds) {
    const LONG result = write(HKEY_CURRENT_USER, path, SettingName(id), SettingRegData(id, values),
                              SettingRegType(id));
    if (result != ERROR_SUCCESS) {
      ok = false;
    }
  }
  return ok;
}

bool SaveSettings(const SettingValues& values) {
  return SaveSettingsWith(values, WriteRegSetting);
}

SettingValues& AppSettings() {
  return gAppSettings;
}

}  // namespace daymarker
