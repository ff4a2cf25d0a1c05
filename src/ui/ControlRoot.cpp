#include "ui/ControlRoot.h"

#include "ui/WinControl.h"

namespace nudgelet::ui {

ControlRoot::ControlRoot(TWinControl& window) : window_(window), hintTimer_(window.Ui().timers) {}

ControlRoot::~ControlRoot() = default;

namespace {

TControl* Deepest(TControl& parent, Point at) {
  const auto& children = parent.Controls();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TControl& c = **it;
    if (!c.Visible() || c.Windowed() || !Contains(c.BoundsRect(), at)) continue;
    const Point local{at.x - c.Left(), at.y - c.Top()};
    if (TControl* inner = Deepest(c, local)) return inner;
    if (c.HitTest(local.x, local.y)) return &c;
  }
  return nullptr;
}

bool IsWithin(const TControl* control, const TControl& ancestor) {
  for (const TControl* p = control; p; p = p->Parent()) {
    if (p == &ancestor) return true;
  }
  return false;
}

}  // namespace

TControl* ControlRoot::ControlAt(Point at) {
  TControl* found = Deepest(window_, at);
  return found ? found : &window_;
}

Point ControlRoot::Local(const TControl& control, Point at) const {
  const Point origin = control.PositionInWindow();
  return {at.x - origin.x, at.y - origin.y};
}

void ControlRoot::SetHot(TControl* control) {
  if (hot_ == control) return;
  TControl* old = hot_;
  hot_ = control;
  HideHint();
  if (old) {
    old->SetMouseInControl(false);
    old->MouseLeave();
  }
  if (hot_) {
    hot_->SetMouseInControl(true);
    hot_->MouseEnter();
  }
  if (hot_ && hot_->EffectiveShowHint()) {
    hintTimer_.Start(window_.Ui().metrics.hintPauseMs, [this] { HintDue(); });
  }
}

void ControlRoot::MouseMove(unsigned shift, Point at) {
  last_ = at;
  lastShift_ = shift;
  TControl* under = ControlAt(at);
  // While a control holds the mouse, only it is hot, and only while the pointer is on it.
  if (captured_) {
    SetHot(under == captured_ ? captured_ : nullptr);
  } else {
    SetHot(under);
  }
  // Entering or leaving may have removed controls: look again.
  TControl* target = captured_ ? captured_ : ControlAt(at);
  if (!target) return;
  const Point local = Local(*target, at);
  if (window_.Host()) window_.Host()->SetCursor(target->CursorAt(local.x, local.y));
  if (target->Enabled()) target->MouseMove(shift, local.x, local.y);
}

void ControlRoot::MouseDown(MouseButton button, unsigned shift, Point at, bool doubleClick) {
  last_ = at;
  HideHint();
  hintTimer_.Stop();
  TControl* target = captured_ ? captured_ : ControlAt(at);
  if (!target || !target->Enabled()) return;
  if (target != &window_ && target->CapturesMouse() && !captured_) {
    captured_ = target;
    if (window_.Host()) window_.Host()->SetCapture(true);
  }
  if (button == MouseButton::Left) clicked_ = target;
  const Point local = Local(*target, at);
  if (doubleClick) shift |= kSsDouble;
  target->MouseDown(button, shift, local.x, local.y);
  if (doubleClick && button == MouseButton::Left && target == clicked_) target->DblClick();
}

void ControlRoot::MouseUp(MouseButton button, unsigned shift, Point at) {
  last_ = at;
  TControl* target = captured_ ? captured_ : ControlAt(at);
  const Point local = target ? Local(*target, at) : at;
  // Decided before the mouse is let go: letting it go tells the window it lost it.
  const bool click =
      target && button == MouseButton::Left && clicked_ == target && Contains(target->ClientRect(), local);
  if (button == MouseButton::Left) clicked_ = nullptr;
  if (captured_ && button == MouseButton::Left) {
    captured_ = nullptr;
    if (window_.Host()) window_.Host()->SetCapture(false);
  }
  if (!target) return;
  // The release may be the last thing the control does: Forget clears this
  // when the control goes away, so it is never touched afterwards.
  releasing_ = target;
  if (target->Enabled()) target->MouseUp(button, shift, local.x, local.y);
  if (click && releasing_ == target && target->Enabled()) target->Click();
  releasing_ = nullptr;
  if (!captured_) SetHot(ControlAt(at));
}

void ControlRoot::MouseLeave() {
  if (captured_) return;
  SetHot(nullptr);
  hintTimer_.Stop();
}

void ControlRoot::CaptureLost() {
  captured_ = nullptr;
  clicked_ = nullptr;
}

void ControlRoot::MouseWheel(int delta, unsigned shift, Point at) {
  for (TControl* c = ControlAt(at); c; c = c->Parent()) {
    const Point local = Local(*c, at);
    if (c->Enabled() && c->MouseWheel(delta, shift, local.x, local.y)) return;
    if (c == &window_) return;
  }
}

namespace {

bool OfferDialogChar(TControl& parent, wchar_t key) {
  for (const auto& c : parent.Controls()) {
    if (!c->Showing() || c->Windowed()) continue;
    if (c->DialogChar(key) || OfferDialogChar(*c, key)) return true;
  }
  return false;
}

}  // namespace

bool ControlRoot::KeyDown(unsigned key, unsigned shift) {
  if (focused_ && focused_->Enabled() && focused_->KeyDown(key, shift)) return true;
  if (window_.KeyDown(key, shift)) return true;
  // Letters and digits arrive as their upper-case virtual-key codes.
  return (shift & kSsAlt) && key < 0x80 && OfferDialogChar(window_, static_cast<wchar_t>(key));
}

void ControlRoot::HintDue() {
  hintTimer_.Stop();
  if (!hot_ || !window_.Host()) return;
  const Point local = Local(*hot_, last_);
  std::wstring text;
  if (hot_->HintAt(local.x, local.y, text)) {
    window_.Host()->ShowHint(text, {last_.x, last_.y + 20});
    hintShown_ = true;
  }
}

void ControlRoot::RefreshHint() {
  const bool shown = hintShown_;
  HideHint();
  if (shown) {
    HintDue();
  } else if (hot_) {
    hintTimer_.Start(window_.Ui().metrics.hintPauseMs, [this] { HintDue(); });
  }
}

void ControlRoot::HideHint() {
  if (!hintShown_) return;
  hintShown_ = false;
  if (window_.Host()) window_.Host()->ShowHint(L"", {});
}

void ControlRoot::Forget(TControl& control) {
  auto inside = [&](TControl* c) { return IsWithin(c, control); };
  if (inside(hot_)) {
    hot_ = nullptr;
    HideHint();
    hintTimer_.Stop();
  }
  if (inside(captured_)) {
    captured_ = nullptr;
    if (window_.Host()) window_.Host()->SetCapture(false);
  }
  if (inside(clicked_)) clicked_ = nullptr;
  if (inside(focused_)) focused_ = nullptr;
  if (inside(releasing_)) releasing_ = nullptr;
}

}  // namespace nudgelet::ui
