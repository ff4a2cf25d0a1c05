#include "usagecounter/UserLocations.h"

#include <windows.h>
#include <shlobj.h>

#include "base/Strings.h"

namespace nudgelet::usagecounter {
namespace {

std::wstring RoamingFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  std::wstring folder;
  if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) folder = path;
  // A bare drive ("C:") is what some broken profiles answer; the environment
  // then still knows the real folder.
  if (folder.size() <= 3) {
    const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH + 1);
    folder = (length > 0 && length <= MAX_PATH) ? std::wstring(path, length) : std::wstring();
  }
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder.size() > 2 ? folder : std::wstring();
}

}  // namespace

std::wstring ProductUserFolder() {
  const std::wstring roaming = RoamingFolder();
  return roaming.empty() ? std::wstring() : roaming + L"\\Corvane\\Patchwell Hub";
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
