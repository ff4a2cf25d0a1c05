#include "platform/Processes.h"

#include <algorithm>

#include "base/Strings.h"

namespace nudgelet::platform {

bool IsProcessRunning(const Processes& processes, const std::wstring& imageName) {
  const auto names = processes.RunningImageNames();
  return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return EqualsIgnoreCase(n, imageName); });
}

}  // namespace nudgelet::platform
