#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <tlhelp32.h>

#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {

std::vector<std::wstring> Win32Processes::RunningImageNames() const {
  std::vector<std::wstring> names;
  UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return names;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
    names.emplace_back(entry.szExeFile);
  }
  return names;
}

}  // namespace nudgelet::platform::win32
