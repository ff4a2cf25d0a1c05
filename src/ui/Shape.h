#pragma once
// TShape: a rectangle or ellipse outlined by a pen and filled by a brush. The
// tip window's one-pixel border is one; its colours are usually identifiers.

#include <functional>

#include "ui/Control.h"

namespace nudgelet::ui {

class TPen : public skin::TPersistent {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  skin::Color color = 0;  // clBlack
  int width = 1;
  int style = 0;  // psSolid, psClear
  std::function<void()> onChange;
};

class TBrush : public skin::TPersistent {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  skin::Color color = 0xFFFFFF;  // clWhite
  int style = 0;                 // bsSolid, bsClear
  std::function<void()> onChange;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TControl {
 public:
  explicit TShape(UiContext& ui);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType shape);

  void Paint(Canvas& canvas) override;

 private:
  void PaintRounded(Canvas& canvas, const Rect& r, skin::Color fill, skin::Color line);

  TPen pen_;
  TBrush brush_;
  TShapeType shape_ = TShapeType::stRectangle;
};

}  // namespace nudgelet::ui
