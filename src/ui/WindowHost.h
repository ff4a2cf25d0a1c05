#pragma once
// What a windowed control needs from its native window. The Windows side
// implements it over an HWND; tests use a recording double.

#include <string>

#include "base/Rect.h"
#include "ui/Canvas.h"

namespace nudgelet::ui {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Client coordinates, in the controls' pixels.
  virtual void Invalidate(const Rect& area) = 0;
  virtual void SetCapture(bool capture) = 0;
  virtual void SetCursor(int cursor) = 0;
  // Shows the hint near the client point; an empty text hides it.
  virtual void ShowHint(const std::wstring& text, Point at) = 0;
  // The control moved, was resized, shown or hidden.
  virtual void BoundsChanged() = 0;
  virtual void VisibilityChanged() = 0;
  virtual bool HasFocus() = 0;
  virtual void TakeFocus() = 0;
};

}  // namespace nudgelet::ui
