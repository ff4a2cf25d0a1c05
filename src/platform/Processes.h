#pragma once
// The running processes of the machine.

#include <string>
#include <vector>

namespace nudgelet::platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // Image file names (without folder) of every running process, this one included.
  virtual std::vector<std::wstring> RunningImageNames() const = 0;
};

// True when a running process has this image name, ignoring letter case.
bool IsProcessRunning(const Processes& processes, const std::wstring& imageName);

}  // namespace nudgelet::platform
