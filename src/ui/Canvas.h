#pragma once
// Where a control paints: a part of its window's off-screen bitmap, in the
// control's own coordinates. Colours are resolved here, at paint time, so
// identifiers follow whatever skin is loaded; text goes to the text renderer
// with the font selected last. A canvas without a bitmap only measures.

#include <functional>
#include <optional>
#include <string_view>

#include "base/Bitmap.h"
#include "base/Rect.h"
#include "skin/ColorTable.h"
#include "skin/Font.h"
#include "skin/NineSlice.h"
#include "skin/RdGraphic.h"
#include "ui/TextRenderer.h"

namespace nudgelet::ui {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

Rect Offset(const Rect& r, int dx, int dy);
Rect Intersect(const Rect& a, const Rect& b);
Rect Union(const Rect& a, const Rect& b);
bool Contains(const Rect& r, Point p);
Rect Inflate(const Rect& r, int dx, int dy);

// 0x00BBGGRR to an opaque pixel.
std::uint32_t PixelOf(skin::Color rgb);

class Canvas {
 public:
  // `origin`: where the control's (0,0) lies in `target`.
  Canvas(Bitmap* target, Point origin, const skin::ColorTable& colors, TextRenderer& text);

  // The same surface for a child with these bounds in this canvas's
  // coordinates; the child draws nowhere outside them.
  Canvas Child(const Rect& bounds) const;
  // Only this part of the canvas (its own coordinates) is drawn on.
  void ClipTo(const Rect& local);
  bool Measuring() const { return target_ == nullptr; }
  Bitmap* Target() const { return target_; }
  Point Origin() const { return origin_; }
  const skin::ColorTable& Colors() const { return colors_; }

  // A stored colour value (identifier, system colour) to 0x00BBGGRR.
  skin::Color Resolve(skin::Color color) const;

  // clNone draws nothing.
  void FillRect(const Rect& r, skin::Color color);
  void FrameRect(const Rect& r, skin::Color color, int width = 1);
  void FillEllipse(const Rect& r, skin::Color color);
  void FrameEllipse(const Rect& r, skin::Color color, int width = 1);
  // An outline with corners of the given ellipse size.
  void FrameRoundRect(const Rect& r, int ellipseWidth, int ellipseHeight, skin::Color color, int width = 1);
  void DrawPicture(skin::TRdGraphic& picture, const Rect& to, const std::optional<skin::TDesignRect>& margins,
                   int opacity = 255);
  void DrawBitmap(const Bitmap& bitmap, const Rect& to, int opacity = 255);
  void DrawDashedFrame(const Rect& r, skin::Color color);

  void SelectFont(const skin::TFont& font);
  void SetFont(const skin::FontDescription& font) { style_.font = font; }
  const skin::FontDescription& Font() const { return style_.font; }
  void SetTextColor(skin::Color color) { style_.rgb = Resolve(color); }
  // DrawTextW on this canvas; `rect` in the control's coordinates.
  int DrawString(std::wstring_view text, Rect& rect, unsigned flags);

 private:
  void Clipped(const Rect& to, const std::function<void(Bitmap&, const Rect&)>& draw);

  Bitmap* target_;
  Point origin_;
  Rect clip_;  // target coordinates
  const skin::ColorTable& colors_;
  TextRenderer& text_;
  TextStyle style_;
};

}  // namespace nudgelet::ui
