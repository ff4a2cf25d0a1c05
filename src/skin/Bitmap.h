#pragma once
// The skin engine's pictures: the shared bitmap type and its PNG codec, and the
// rectangles the drawing works in.

#include "base/Bitmap.h"
#include "base/Rect.h"

namespace nudgelet::skin {

using nudgelet::Bitmap;
using nudgelet::BlendOver;
using nudgelet::DecodePng;
using nudgelet::EncodePng;
using nudgelet::Premultiply;

using nudgelet::Rect;

}  // namespace nudgelet::skin
