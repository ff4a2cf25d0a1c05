#include "skin/DrawWithMargins.h"

#include <algorithm>

namespace nudgelet::skin {
namespace {

bool Plain(const std::optional<TDesignRect>& margins) {
  return !margins || (margins->Empty() && margins->mode != StretchMode::Fill);
}

}  // namespace

void DrawWithMargins(Bitmap& dst, const Rect& to, TRdGraphic& picture, const std::optional<TDesignRect>& margins,
                     int opacity) {
  if (opacity <= 0) return;
  if (Plain(margins)) {
    picture.Draw(dst, to, opacity);
    return;
  }
  const auto source = picture.Source();
  if (!source || !source->pixels) return;
  DrawNineSlice(dst, to, *source->pixels, source->clip, *margins, MultiplyOpacity(opacity, source->opacity),
                source->smooth);
}

void DrawWithMargins(Bitmap& dst, const Rect& to, const Bitmap& picture, const std::optional<TDesignRect>& margins,
                     int opacity) {
  if (opacity <= 0 || picture.Empty()) return;
  const Rect whole{0, 0, picture.Width(), picture.Height()};
  if (Plain(margins)) {
    DrawScaled(dst, to, picture, whole, std::min(opacity, 255));
  } else {
    DrawNineSlice(dst, to, picture, whole, *margins, std::min(opacity, 255));
  }
}

}  // namespace nudgelet::skin
