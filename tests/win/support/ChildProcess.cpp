#include "support/ChildProcess.h"

#include "platform/win32/Handles.h"

namespace nudgelet::testing {

DWORD RunToEnd(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
    return static_cast<DWORD>(-1);
  }
  platform::win32::UniqueKernelHandle process(pi.hProcess);
  platform::win32::UniqueKernelHandle thread(pi.hThread);
  if (::WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  ::GetExitCodeProcess(process.Get(), &code);
  return code;
}

}  // namespace nudgelet::testing
