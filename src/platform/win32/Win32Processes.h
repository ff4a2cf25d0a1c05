#pragma once
#include "platform/Processes.h"

namespace nudgelet::platform::win32 {

class Win32Processes final : public Processes {
 public:
  std::vector<std::wstring> RunningImageNames() const override;
};

}  // namespace nudgelet::platform::win32
