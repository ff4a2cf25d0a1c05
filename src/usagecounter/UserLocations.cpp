#include "usagecounter/UserLocations.h"

#include <windows.h>

#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/UserDataFolder.h"

namespace nudgelet::usagecounter {

std::wstring ProductUserFolder() {
  return ExcludeTrailingBackslash(GetUserDataFolder(platform::win32::SystemPlatform()));
}

std::wstring DefaultCacheFolder() {
  const std::wstring product = ProductUserFolder();
  return product.empty() ? std::wstring() : product + L"\\Stat";
}

std::wstring UserSettingsFile() {
  const std::wstring product = ProductUserFolder();
  return product.empty() ? std::wstring() : product + L"\\Main.ini";
}

bool IsStatisticsDisabled(const std::wstring& settingsFile) {
  if (settingsFile.empty()) return false;
  wchar_t value[16] = {};
  ::GetPrivateProfileStringW(L"Stat", L"Disabled", L"0", value, 16, settingsFile.c_str());
  return Trim(value) == L"1";
}

}  // namespace nudgelet::usagecounter
