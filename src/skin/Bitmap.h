#pragma once
// The skin engine's pictures: the shared bitmap type and its PNG codec, and the
// rectangles the drawing works in.

#include "base/Bitmap.h"

namespace nudgelet::skin {

using nudgelet::BlendOver;
using nudgelet::Bitmap;
using nudgelet::DecodePng;
using nudgelet::EncodePng;
using nudgelet::Premultiply;

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

}  // namespace nudgelet::skin
