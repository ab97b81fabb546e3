#include "settings/settings_store.h"

#include <array>
#include <variant>

#include "core/version.h"
#include "settings/registry.h"

namespace daymarker {
namespace {

using Variable = std::variant<std::int32_t SettingValues::*, std::int16_t SettingValues::*,
                              std::wstring SettingValues::*>;

struct Setting {
  const wchar_t* name;
  LONG type;
  Variable variable;
};

// The stored layout, in the order in which both routines handle the values.
constexpr auto kSettings = std::to_array<Setting>({
    {L"WindowX", REG_DWORD, &SettingValues::WindowLeft},
    {L"WindowY", REG_DWORD, &SettingValues::WindowTop},
    {L"DateNTime", REG_DWORD, &SettingValues::EventSeconds},
    {L"Event", REG_SZ, &SettingValues::EventName},
    {L"Display", REG_DWORD, &SettingValues::DisplayLevel},
    {L"Update", REG_DWORD, &SettingValues::UpdateIndex},
    {L"OnlyUnits", REG_DWORD, &SettingValues::OnlyUnitsFlag},
});

// The process-wide setting variables: namespace scope, so they exist before
// any window and outlive them all.
SettingValues g_appSettings;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// "Software\Tolvane\Daymarker", built from the application properties.
std::wstring SettingsKeyPath() {
  std::wstring path = L"Software\\";
  path += kCompanyName;
  path += L'\\';
  path += kAppTitle;
  return path;
}

}  // namespace

bool LoadSettings(SettingValues& values) {
  const std::wstring path = SettingsKeyPath();
  bool found = false;
  for (const Setting& setting : kSettings) {
    const std::wstring text = ReadRegSetting(HKEY_CURRENT_USER, path, setting.name);
    if (text.empty()) {
      continue;
    }
    std::visit([&](auto variable) { AssignSettingText(text, values.*variable); }, setting.variable);
    found = true;
  }
  return found;
}

bool SaveSettings(const SettingValues& values) {
  const std::wstring path = SettingsKeyPath();
  bool ok = true;
  for (const Setting& setting : kSettings) {
    const RegData value =
        std::visit([&](auto variable) { return RegData(values.*variable); }, setting.variable);
    if (WriteRegSetting(HKEY_CURRENT_USER, path, setting.name, value, setting.type) !=
        ERROR_SUCCESS) {
      ok = false;
    }
  }
  return ok;
}

SettingValues& AppSettings() {
  return g_appSettings;
}

}  // namespace daymarker
