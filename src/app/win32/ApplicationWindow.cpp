#include "app/win32/ApplicationWindow.h"

namespace nudgelet::app::win32 {

HWND CreateApplicationWindow(HINSTANCE instance) {
  static const wchar_t kClassName[] = L"NudgeletApplication";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, kClassName, L"Nudgelet", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

void MakeToolWindow(HWND applicationWindow) { ::SetWindowLongW(applicationWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW); }

}  // namespace nudgelet::app::win32
