#pragma once
// TWinControl: a control with a window of its own (forms, panels, the scroll
// bar's host, the list). Its root routes the window's input to the windowless
// controls on it and paints them.

#include <memory>

#include "ui/Control.h"
#include "ui/ControlRoot.h"
#include "ui/WindowHost.h"

namespace nudgelet::ui {

class TWinControl : public TControl {
 public:
  explicit TWinControl(UiContext& ui);
  ~TWinControl() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  bool Windowed() const override { return true; }
  ControlRoot& Root() { return root_; }

  // The native window, once there is one.
  WindowHost* Host() const { return host_; }
  void AttachHost(WindowHost* host) { host_ = host; }

  // Paints this control and the windowless ones on it that meet `area`
  // (client coordinates) into `target`, whose (0,0) is the area's top left.
  void PaintWindow(Bitmap& target, const Rect& area);
  // The whole client area with every descendant, windowed ones included: what
  // the screen shows of this control.
  Bitmap PaintAll();

  using TControl::Font;
  skin::TRdFont* Font() override { return &font_; }
  bool CanFocus() const { return Showing() && Enabled(); }

  // The area that waits for painting when there is no window yet.
  const Rect& PendingInvalid() const { return pendingInvalid_; }
  void ClearPendingInvalid() { pendingInvalid_ = {}; }
  void InvalidateWindow(const Rect& area);

 protected:
  void Resized() override;
  void Moved() override;
  void VisibleChanged() override;
  // Fills the background; windowed controls are opaque.
  void Paint(Canvas& canvas) override;
  virtual void PaintChildren(Canvas& canvas, const Rect& area, bool windowed);

 private:
  skin::TRdFont font_;
  ControlRoot root_;
  WindowHost* host_ = nullptr;
  Rect pendingInvalid_;
};

}  // namespace nudgelet::ui
