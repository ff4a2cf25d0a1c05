#pragma once
// Starting programs and documents through the shell.

#include <string>

namespace nudgelet::platform {

struct ShellExecuteRequest {
  std::wstring operation = L"open";  // empty for the default verb
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;
  int showCommand = 1;  // SW_SHOWNORMAL
};

class Shell {
 public:
  virtual ~Shell() = default;
  // True when the shell accepted the request.
  virtual bool Execute(const ShellExecuteRequest& request) const = 0;
};

}  // namespace nudgelet::platform
