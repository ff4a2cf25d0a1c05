#pragma once
#include "platform/DynamicLibrary.h"

namespace nudgelet::platform::win32 {

class Win32DynamicLibraries final : public DynamicLibraries {
 public:
  std::unique_ptr<DynamicLibrary> Load(const std::wstring& pathOrName) const override;
  std::unique_ptr<DynamicLibrary> FindLoaded(const std::wstring& name) const override;
};

}  // namespace nudgelet::platform::win32
