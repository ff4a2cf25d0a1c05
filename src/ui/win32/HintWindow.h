#pragma once
// The hint: a small top-most window without a frame that never takes the
// focus, so it shows over our window also while that window is not the
// active one (the tip window never is).

#include <windows.h>

#include <string>

#include "ui/UiContext.h"

namespace nudgelet::ui::win32 {

class HintWindow {
 public:
  explicit HintWindow(UiContext& ui);
  ~HintWindow();

  // Shows the text with its top left near the screen point; an empty text hides it.
  void Show(const std::wstring& text, POINT screen);
  void Hide();
  HWND Handle() const { return hwnd_; }
  const std::wstring& Text() const { return text_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  skin::FontDescription Font() const;

  UiContext& ui_;
  HWND hwnd_ = nullptr;
  std::wstring text_;
};

}  // namespace nudgelet::ui::win32
