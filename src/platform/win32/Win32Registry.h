#pragma once
#include "platform/Registry.h"

namespace nudgelet::platform::win32 {

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                            RegistryView view) const override;
};

}  // namespace nudgelet::platform::win32
