#pragma once
// A form skin's hold on its form's window: desktop composition and the glass
// frame through dwmapi (looked up by name: older systems have none), the
// round window region, and the wrapper around the window's messages.

#include <windows.h>

#include <functional>

#include "ui/FormSkin.h"
#include "ui/win32/NativeWindow.h"

namespace nudgelet::ui::win32 {

class Win32FormSkinWindow final : public FormSkinWindow {
 public:
  // The desktop window manager as the form skin sees it; tests put in one
  // that composes so that the shadow's path runs where the system has none.
  struct Dwm {
    std::function<bool()> compositionEnabled;
    std::function<void(HWND, const Rect& margins)> extendFrame;
  };
  static Dwm SystemDwm();

  Win32FormSkinWindow(NativeWindow& window, TRdFormSkin& skin, Dwm dwm = SystemDwm());
  ~Win32FormSkinWindow() override;
  Win32FormSkinWindow(const Win32FormSkinWindow&) = delete;
  Win32FormSkinWindow& operator=(const Win32FormSkinWindow&) = delete;

  bool CompositionEnabled() override;
  void SetGlassFrame(const Rect& margins) override;
  void SetRoundRegion(int width, int height, int ellipseWidth, int ellipseHeight) override;
  bool Maximized() override;
  void Repaint() override;

 private:
  std::optional<LRESULT> Before(UINT message, WPARAM wparam, LPARAM lparam);
  void After(UINT message);

  NativeWindow& window_;
  TRdFormSkin& skin_;
  Dwm dwm_;
};

}  // namespace nudgelet::ui::win32
