#include "ui/win32/UiRuntime.h"

#include <windows.h>

#include "skin/win32/SystemColors.h"
#include "ui/win32/NativeWindow.h"

namespace nudgelet::ui::win32 {

SystemMetrics ReadSystemMetrics() {
  SystemMetrics m;
  m.scrollArrowWidth = ::GetSystemMetrics(SM_CXVSCROLL);
  m.scrollArrowHeight = ::GetSystemMetrics(SM_CYVSCROLL);
  m.hScrollArrowWidth = ::GetSystemMetrics(SM_CXHSCROLL);
  m.hScrollArrowHeight = ::GetSystemMetrics(SM_CYHSCROLL);
  m.verticalThumbHeight = ::GetSystemMetrics(SM_CYVTHUMB);
  m.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  m.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  return m;
}

UiRuntime::UiRuntime(skin::PackageStore& store, skin::SkinClassRegistry& skins)
    : context_{store, skins, text_, timers_, {}, ReadSystemMetrics()} {
  skin::win32::UseSystemColors(store.Colors());
}

int RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    RethrowPendingException();
  }
  return static_cast<int>(msg.wParam);
}

bool PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    RethrowPendingException();
  }
  return true;
}

}  // namespace nudgelet::ui::win32
