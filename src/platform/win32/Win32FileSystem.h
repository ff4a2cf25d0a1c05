#pragma once
#include "platform/FileSystem.h"

namespace nudgelet::platform::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::uint32_t> Attributes(const std::wstring& path) const override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const override;
  bool CreateFolders(const std::wstring& path) const override;
};

}  // namespace nudgelet::platform::win32
