#include "ui/Shape.h"

#include <algorithm>

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TPen::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TPen", nullptr);
    Publisher<TPen> p(c);
    auto changed = [](TPen& o) {
      if (o.onChange) o.onChange();
    };
    p.Color(
        L"Color", [](const TPen& o) { return o.color; },
        [changed](TPen& o, std::int64_t v) { o.color = skin::Color(v), changed(o); }, 0);
    p.Enumeration(
        L"Style", {L"psSolid", L"psClear"}, [](const TPen& o) { return o.style; },
        [changed](TPen& o, std::int64_t v) { o.style = int(v), changed(o); });
    p.Integer(
        L"Width", [](const TPen& o) { return o.width; },
        [changed](TPen& o, std::int64_t v) { o.width = int(std::clamp<std::int64_t>(v, 0, 1000)), changed(o); }, 1);
    return c;
  }();
  return info;
}

const ClassInfo& TBrush::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TBrush", nullptr);
    Publisher<TBrush> p(c);
    auto changed = [](TBrush& o) {
      if (o.onChange) o.onChange();
    };
    p.Color(
        L"Color", [](const TBrush& o) { return o.color; },
        [changed](TBrush& o, std::int64_t v) { o.color = skin::Color(v), changed(o); }, 0xFFFFFF);
    p.Enumeration(
        L"Style", {L"bsSolid", L"bsClear"}, [](const TBrush& o) { return o.style; },
        [changed](TBrush& o, std::int64_t v) { o.style = int(v), changed(o); });
    return c;
  }();
  return info;
}

const ClassInfo& TShape::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TShape", &TControl::ClassType());
    Publisher<TShape> p(c);
    p.Object(L"Pen", [](TShape& o) { return &o.pen_; });
    p.Object(L"Brush", [](TShape& o) { return &o.brush_; });
    p.Enumeration(
        L"Shape", {L"stRectangle", L"stSquare", L"stRoundRect", L"stRoundSquare", L"stEllipse", L"stCircle"},
        [](const TShape& o) { return static_cast<int>(o.shape_); },
        [](TShape& o, std::int64_t v) { o.SetShape(static_cast<TShapeType>(v)); });
    return c;
  }();
  return info;
}

TShape::TShape(UiContext& ui) : TControl(ui) {
  SetBounds(0, 0, 65, 65);
  pen_.onChange = [this] { Invalidate(); };
  brush_.onChange = [this] { Invalidate(); };
}

void TShape::SetShape(TShapeType shape) {
  if (shape_ == shape) return;
  shape_ = shape;
  Invalidate();
}

void TShape::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  if (shape_ == TShapeType::stSquare || shape_ == TShapeType::stRoundSquare || shape_ == TShapeType::stCircle) {
    const int side = std::min(r.Width(), r.Height());
    r.left += (r.Width() - side) / 2;
    r.top += (r.Height() - side) / 2;
    r.right = r.left + side;
    r.bottom = r.top + side;
  }
  const skin::Color fill = brush_.style == 0 ? brush_.color : skin::kClNone;
  const skin::Color line = pen_.style == 0 && pen_.width > 0 ? pen_.color : skin::kClNone;
  const bool round = shape_ == TShapeType::stEllipse || shape_ == TShapeType::stCircle;
  if (round) {
    canvas.FillEllipse(r, fill);
    canvas.FrameEllipse(r, line, pen_.width);
  } else if (shape_ == TShapeType::stRoundRect || shape_ == TShapeType::stRoundSquare) {
    PaintRounded(canvas, r, fill, line);
  } else {
    canvas.FillRect(r, fill);
    canvas.FrameRect(r, line, pen_.width);
  }
}

void TShape::PaintRounded(Canvas& canvas, const Rect& r, skin::Color fill, skin::Color line) {
  // Corners of a quarter of the shorter side, as the toolkit rounds them.
  const int rad = std::min(r.Width(), r.Height()) / 4;
  const int w = pen_.width;
  canvas.FillRect({r.left + rad, r.top, r.right - rad, r.bottom}, fill);
  canvas.FillRect({r.left, r.top + rad, r.left + rad, r.bottom - rad}, fill);
  canvas.FillRect({r.right - rad, r.top + rad, r.right, r.bottom - rad}, fill);
  canvas.FillRect({r.left + rad, r.top, r.right - rad, r.top + w}, line);
  canvas.FillRect({r.left + rad, r.bottom - w, r.right - rad, r.bottom}, line);
  canvas.FillRect({r.left, r.top + rad, r.left + w, r.bottom - rad}, line);
  canvas.FillRect({r.right - w, r.top + rad, r.right, r.bottom - rad}, line);
  const Rect corners[] = {{r.left, r.top, r.left + rad, r.top + rad},
                          {r.right - rad, r.top, r.right, r.top + rad},
                          {r.left, r.bottom - rad, r.left + rad, r.bottom},
                          {r.right - rad, r.bottom - rad, r.right, r.bottom}};
  for (const Rect& corner : corners) {
    const int x = corner.left == r.left ? r.left : r.right - 2 * rad;
    const int y = corner.top == r.top ? r.top : r.bottom - 2 * rad;
    Canvas part = canvas;
    part.ClipTo(corner);
    part.FillEllipse({x, y, x + 2 * rad, y + 2 * rad}, fill);
    part.FrameEllipse({x, y, x + 2 * rad, y + 2 * rad}, line, w);
  }
}

}  // namespace nudgelet::ui
