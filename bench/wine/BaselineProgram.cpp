// The yardstick of the Wine benchmark: the least a Windows program like the
// reminder does before it can decide anything. It loads the same system
// libraries, initialises COM, creates one window and ends.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return ::DefWindowProcW(window, message, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ::CoInitialize(nullptr);
  int argc = 0;
  ::LocalFree(::CommandLineToArgvW(::GetCommandLineW(), &argc));  // shell32 in use, as the reminder's
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"NudgeletBenchBaseline";
  ::RegisterClassW(&windowClass);
  const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10,
                                        nullptr, nullptr, instance, nullptr);
  if (window) ::DestroyWindow(window);
  ::CoUninitialize();
  return 0;
}
