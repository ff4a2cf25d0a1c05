#pragma once
// One update candidate: an installed program the update database knows.

#include <cstdint>
#include <string>

namespace nudgelet::detection {

struct TSoftViewInfo {
  std::wstring DisplayName;
  std::wstring Publisher;
  std::wstring DisplayIcon;
  std::wstring InstalledVersion;
  std::wstring NewVersion;
  bool HasUpdate = false;
  std::wstring Key;
  std::int32_t Bit = 0;
  std::int32_t LanID = 1;
  std::int32_t IconIndex = 0;
  std::wstring Icon;
  std::wstring InstallLocation;
  std::wstring InURL;
  std::wstring InMD5;
  std::int64_t InFileSize = 0;
  std::wstring OutURL;
  std::wstring OutMD5;
  std::int64_t OutFileSize = 0;
  std::int64_t DownloadSize = 0;
  std::wstring InstallerType;
  std::wstring DownURL;
  std::wstring Param;
  std::wstring MainRegKey;
  std::wstring MainExePath;
  bool Superseded = false;

  // How the user's ignore list names this product and edition: key_bit_language.
  std::wstring IgnoreName() const { return Key + L"_" + std::to_wstring(Bit) + L"_" + std::to_wstring(LanID); }
};

}  // namespace nudgelet::detection
