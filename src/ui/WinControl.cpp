#include "ui/WinControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TWinControl::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TWinControl", &TControl::ClassType());
    Publisher<TWinControl> p(c);
    p.Object(L"Font", [](TWinControl& o) { return &o.font_; });
    p.Boolean(
        L"ParentFont", [](const TWinControl& o) { return o.ParentFont(); },
        [](TWinControl& o, bool v) { o.SetParentFont(v); });
    return c;
  }();
  return info;
}

TWinControl::TWinControl(UiContext& ui) : TControl(ui), font_(ui.skins, this, nullptr), root_(*this) {
  AdoptFont(font_);
}

TWinControl::~TWinControl() { DestroyChildren(); }

void TWinControl::InvalidateWindow(const Rect& area) {
  if (host_) {
    host_->Invalidate(area);
  } else {
    pendingInvalid_ = Union(pendingInvalid_, area);
  }
}

void TWinControl::Resized() {
  if (host_) host_->BoundsChanged();
  Invalidate();
}

void TWinControl::Moved() {
  if (host_) host_->BoundsChanged();
}

void TWinControl::VisibleChanged() {
  if (host_) host_->VisibilityChanged();
}

void TWinControl::Paint(Canvas& canvas) { canvas.FillRect(ClientRect(), GetColor()); }

void TWinControl::PaintWindow(Bitmap& target, const Rect& area) {
  Canvas canvas(&target, {-area.left, -area.top}, Ui().Colors(), Ui().text);
  Paint(canvas);
  PaintChildren(canvas, area, false);
}

namespace {

void PaintTree(TControl& control, Canvas& canvas, const Rect& area, bool windowed) {
  for (const auto& child : control.Controls()) {
    if (!child->Visible() || (child->Windowed() && !windowed)) continue;
    const Rect bounds = child->BoundsRect();
    if (Intersect(bounds, area).Empty()) continue;
    Canvas at = canvas.Child(bounds);
    child->Paint(at);
    PaintTree(*child, at, Offset(Intersect(bounds, area), -bounds.left, -bounds.top), windowed);
  }
}

}  // namespace

void TWinControl::PaintChildren(Canvas& canvas, const Rect& area, bool windowed) {
  PaintTree(*this, canvas, area, windowed);
}

Bitmap TWinControl::PaintAll() {
  Bitmap bitmap(Width(), Height(), 0);
  Canvas canvas(&bitmap, {0, 0}, Ui().Colors(), Ui().text);
  Paint(canvas);
  PaintChildren(canvas, ClientRect(), true);
  return bitmap;
}

}  // namespace nudgelet::ui
