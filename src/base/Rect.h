#pragma once
// Rectangles in pixels, edges as Windows keeps them: right and bottom lie just
// outside. Screens, work areas, drawing and layout all use this one type.

namespace nudgelet {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

}  // namespace nudgelet
