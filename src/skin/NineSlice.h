#pragma once
// Drawing a picture into a rectangle with margins that stay unscaled
// (nine-slice): corners as they are, edges and centre stretched or tiled.

#include "skin/Bitmap.h"

namespace nudgelet::skin {

enum class StretchMode { Default, Stretch, Fill, Frame };

// Four margins and a stretch mode, as picture options and controls hold them.
struct TDesignRect {
  // Margin values of SetMargins: the same as the opposite one (right = left,
  // bottom = top), or leave this pair as it is.
  static constexpr int kSameAsOpposite = -1000;
  static constexpr int kUnchanged = -2000;

  StretchMode mode = StretchMode::Default;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  void SetMargins(int l, int t, int r, int b);
  bool operator==(const TDesignRect&) const = default;
};

// Draws src's part `from` scaled into `to` of dst, blended over with opacity
// 0..255. Equal sizes copy pixel for pixel; other sizes sample bilinearly.
void DrawScaled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity);
// Repeats src's part `from` across `to` from its top-left corner, the last
// tiles cut to fit.
void DrawTiled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity);

// One piece of the nine, as the drawing below places it.
struct SlicePiece {
  Rect from;  // relative to the source part
  Rect to;    // relative to the destination rectangle
  bool tiled = false;
};

// Where each piece of a source of sw × sh goes in a destination of w × h, in
// drawing order (corners, edges, centre; skipped pieces left out).
std::vector<SlicePiece> SlicePieces(int sw, int sh, int w, int h, const TDesignRect& margins);

void DrawNineSlice(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, const TDesignRect& margins,
                   int opacity);

}  // namespace nudgelet::skin
