#pragma once
// One per window: finds the control under the pointer and gives it the
// window's mouse, wheel and keys; tracks which control the pointer is over,
// which holds the mouse and which has the keyboard; and shows hints after the
// pointer rests.

#include <string>

#include "ui/Canvas.h"
#include "ui/Control.h"
#include "ui/Timers.h"

namespace nudgelet::ui {

class TWinControl;

class ControlRoot {
 public:
  explicit ControlRoot(TWinControl& window);
  ~ControlRoot();

  // Window client coordinates.
  void MouseMove(unsigned shift, Point at);
  void MouseDown(MouseButton button, unsigned shift, Point at, bool doubleClick);
  void MouseUp(MouseButton button, unsigned shift, Point at);
  // The pointer left the window.
  void MouseLeave();
  void MouseWheel(int delta, unsigned shift, Point at);
  bool KeyDown(unsigned key, unsigned shift);
  // The window lost the mouse it held.
  void CaptureLost();

  // The control the pointer is over (the window itself when over no other).
  TControl* Hot() const { return hot_; }
  TControl* Captured() const { return captured_; }
  TControl* Focused() const { return focused_; }
  void SetFocused(TControl* control) { focused_ = control; }

  // The topmost visible control at a client point whose hit test accepts it.
  TControl* ControlAt(Point at);

  // Asks the control under the pointer for its hint again (its text changed
  // with what lies under the pointer).
  void RefreshHint();
  void HideHint();

  // A control is going away or was hidden: forget it.
  void Forget(TControl& control);

 private:
  void SetHot(TControl* control);
  void HintDue();
  Point Local(const TControl& control, Point at) const;

  TWinControl& window_;
  TControl* hot_ = nullptr;
  TControl* captured_ = nullptr;
  TControl* clicked_ = nullptr;  // pressed with the left button: a release inside clicks
  TControl* focused_ = nullptr;
  TControl* releasing_ = nullptr;  // the control handling a release
  Point last_;
  unsigned lastShift_ = 0;
  bool hintShown_ = false;
  OwnedTimer hintTimer_;
};

}  // namespace nudgelet::ui
