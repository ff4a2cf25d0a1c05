#pragma once
// The windows of windowed controls. One window class and one window procedure
// serve them all: the control comes in through CreateWindowEx's parameter at
// WM_NCCREATE, lives in GWLP_USERDATA and is let go at WM_NCDESTROY. Each
// paint composes the invalid part of the window on one off-screen bitmap and
// copies it to the screen once.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/WinControl.h"
#include "ui/WindowHost.h"
#include "ui/win32/HintWindow.h"

namespace nudgelet::ui::win32 {

class NativeWindow final : public WindowHost {
 public:
  // Creates the window of `control` (a top-level window when it has no
  // windowed parent) and of every windowed control below it.
  static std::unique_ptr<NativeWindow> Create(TWinControl& control, HWND owner = nullptr);
  // A top-level window with styles of the caller's choosing.
  static std::unique_ptr<NativeWindow> Create(TWinControl& control, HWND owner, DWORD style, DWORD exStyle);
  ~NativeWindow() override;

  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  TWinControl& Control() const { return control_; }
  // Window styles of a top-level form; set before Create by the form's owner.
  struct TopLevelStyle {
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
  };
  static TopLevelStyle StyleOf(const TWinControl& control);

  void Invalidate(const Rect& area) override;
  void SetCapture(bool capture) override;
  void SetCursor(int cursor) override;
  void ShowHint(const std::wstring& text, Point at) override;
  void BoundsChanged() override;
  void VisibilityChanged() override;
  bool HasFocus() override;
  void TakeFocus() override;

  // Lets a component that wraps the window see its messages: `before` may
  // answer one itself, `after` runs once the window has handled it.
  struct MessageFilter {
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> before;
    std::function<void(UINT, WPARAM, LPARAM)> after;
  };
  void SetMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

  // How many paints this window has done (tests watch resources over many).
  std::uint64_t Paints() const { return paints_; }

 private:
  NativeWindow(TWinControl& control);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  Point ClientPoint(LPARAM lparam) const;
  Rect DeviceRect(const Rect& logical) const;
  // Where the control's window goes in its parent window (or on the screen).
  Rect PlacementInParent() const;

  TWinControl& control_;
  HWND hwnd_ = nullptr;
  bool tracking_ = false;
  bool releasing_ = false;
  int cursor_ = 0;
  std::uint64_t paints_ = 0;
  std::vector<std::unique_ptr<NativeWindow>> children_;
  std::unique_ptr<HintWindow> hint_;
  MessageFilter filter_;
};

// An exception thrown in a window procedure, passed on by the message loop.
void RethrowPendingException();

// Windows' cursor for a toolkit cursor number.
HCURSOR CursorFor(int cursor);

}  // namespace nudgelet::ui::win32
