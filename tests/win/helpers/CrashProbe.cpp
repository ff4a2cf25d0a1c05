// A program that crashes through the product's crash capture: it sets the
// report's settings as start-up does, shows a window, and writes where no
// write may go. Not through a null pointer: Wine run as root can map page
// zero, and the write would simply succeed. With "throw-on-thread" it lets a
// C++ error escape a thread of its own instead, which ends in std::terminate.
#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <thread>

#include "app/CrashHandoff.h"
#include "app/CrashReportSettings.h"
#include "app/win32/CrashCapture.h"
#include "platform/win32/SystemPlatform.h"

namespace {

// Not inlined, so that the fault has a frame of its own in the report.
__attribute__((noinline)) void WriteToForbiddenPage() {
  int* volatile target = static_cast<int*>(
      ::VirtualAlloc(reinterpret_cast<void*>(0x7F0000000000), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
  *target = 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  using namespace nudgelet::app;
  win32::InstallCrashCapture();
  CrashReportSetup setup;
  setup.contactAddress = kCrashContactAddress;
  setup.productName = kCrashProductName;
  setup.version = L"9.8.7.6";
  SetCrashReportSettings(MakeCrashReportSettings(nudgelet::platform::win32::SystemPlatform(), setup));
  RegisterCrashFilter(&IgnoreHelpSystemErrors);

  if (std::wcscmp(commandLine, L"throw-on-thread") == 0) {
    std::thread([] { throw std::runtime_error("thrown on a thread"); }).join();
    return 4;  // never reached
  }

  const HWND window = ::CreateWindowExW(0, L"STATIC", L"crash probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 240,
                                        160, nullptr, nullptr, nullptr, nullptr);
  ::UpdateWindow(window);
  // Give the window time to reach the screen.
  const DWORD until = ::GetTickCount() + 500;
  MSG message;
  while (::GetTickCount() < until) {
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(20);
  }
  WriteToForbiddenPage();
  return 3;  // never reached
}
