#pragma once
// The one drawing entry the controls use for any picture: with margins that
// stay unscaled, or, without them, the picture drawing itself.

#include <optional>

#include "skin/NineSlice.h"
#include "skin/RdGraphic.h"

namespace nudgelet::skin {

// Draws `picture` into `to` at `opacity` (0..255; 0 draws nothing). Without
// margins (none given, or all 0 and not Fill) the picture draws itself, with
// its own margins if it is a descriptor; otherwise the given margins slice its
// pixels, at its own opacity times `opacity` and with its own smoothing.
void DrawWithMargins(Bitmap& dst, const Rect& to, TRdGraphic& picture, const std::optional<TDesignRect>& margins,
                     int opacity = 255);
// The same for plain pixels, drawn without smoothing asked for.
void DrawWithMargins(Bitmap& dst, const Rect& to, const Bitmap& picture, const std::optional<TDesignRect>& margins,
                     int opacity = 255);

}  // namespace nudgelet::skin
