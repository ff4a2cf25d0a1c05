#pragma once
#include "platform/SpecialFolders.h"

namespace nudgelet::platform::win32 {

class Win32SpecialFolders final : public SpecialFolders {
 public:
  std::wstring ShellFolder(int csidl) const override;
  std::wstring WindowsDirectory() const override;
  std::wstring SystemDirectory() const override;
  std::wstring TempPath() const override;
  std::wstring ExecutablePath() const override;
};

}  // namespace nudgelet::platform::win32
