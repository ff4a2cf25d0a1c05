#include "app/win32/ForegroundWindow.h"

#include <windows.h>

#include "app/RunDecision.h"

namespace nudgelet::app::win32 {

bool IsForegroundFullScreen(const platform::SystemFacts& system) {
  const HWND window = ::GetForegroundWindow();
  if (!window || !::IsWindow(window) || window == ::GetDesktopWindow()) return false;
  RECT r{};
  if (!::GetWindowRect(window, &r)) return false;
  if (!CoversWholeScreen({r.left, r.top, r.right, r.bottom}, system.PrimaryScreenSize())) return false;
  wchar_t className[256] = {};
  ::GetClassNameW(window, className, 255);
  return !IsDesktopWindowClass(className);
}

}  // namespace nudgelet::app::win32
