#include "detection/IgnoreList.h"

#include <algorithm>

#include "settings/SafeIniFile.h"

namespace nudgelet::detection {

TIgnoreList::TIgnoreList(const platform::FileSystem& files, const std::wstring& mainIniPath) {
  if (!files.FileExists(mainIniPath)) return;
  TSafeIniFile ini(files, mainIniPath);
  keys_ = ini.ReadSection(L"Ignore");
}

bool TIgnoreList::IsIgnored(const std::wstring& name) const {
  if (name.empty()) return false;
  return std::any_of(keys_.begin(), keys_.end(),
                     [&](const std::wstring& key) { return key.find(name) != std::wstring::npos; });
}

}  // namespace nudgelet::detection
