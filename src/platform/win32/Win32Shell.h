#pragma once
#include "platform/Shell.h"

namespace nudgelet::platform::win32 {

class Win32Shell final : public Shell {
 public:
  bool Execute(const ShellExecuteRequest& request) const override;
};

}  // namespace nudgelet::platform::win32
