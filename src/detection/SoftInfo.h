#pragma once
// One installed program as the uninstall registry describes it.

#include <cstdint>
#include <string>

#include "base/DateTime.h"

namespace nudgelet::detection {

struct TSoftInfo {
  std::wstring DisplayName;
  std::wstring HelpLink;
  std::wstring Publisher;
  std::wstring DisplayVersion;
  std::wstring URLInfoAbout;
  std::wstring URLUpdateInfo;
  std::wstring InstallDateText;
  std::wstring SizeText;
  std::wstring RootName;
  std::wstring KeyPath;
  std::wstring UninstallString;
  std::wstring QuickUninstall;
  std::wstring DisplayIcon;
  std::wstring InstallLocation;
  std::int32_t IconIndex = 0;
  std::int64_t Size = 0;
  TDateTime InstallDate = 0;
  TDateTime ScanTime = 0;
  std::int64_t RegistrySize = 0;
  std::int32_t Index = 0;
  bool Is64BitView = false;
  bool IsUpdate = false;
  bool Hidden = false;
  TDateTime RegistryInstallDate = 0;
  bool IsSystemComponent = false;
  bool IsToolbar = false;
  std::wstring Readme;

  bool operator==(const TSoftInfo&) const = default;
};

// Below 1024: "<n> Byte"; otherwise divided by 1024 until below 1024 or at GB,
// with two decimals: "1.00 KB", "5120.00 GB".
std::wstring FormatByteSize(std::int64_t bytes);

}  // namespace nudgelet::detection
