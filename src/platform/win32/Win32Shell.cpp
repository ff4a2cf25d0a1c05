#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <shellapi.h>

namespace nudgelet::platform::win32 {

bool Win32Shell::Execute(const ShellExecuteRequest& request) const {
  auto orNull = [](const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); };
  const HINSTANCE result = ::ShellExecuteW(nullptr, orNull(request.operation), request.file.c_str(),
                                           orNull(request.parameters), orNull(request.directory), request.showCommand);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace nudgelet::platform::win32
