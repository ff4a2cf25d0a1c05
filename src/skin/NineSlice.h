#pragma once
// Drawing a picture into a rectangle with margins that stay unscaled
// (nine-slice): corners as they are, edges and centre stretched or tiled.

#include <vector>

#include "skin/Bitmap.h"

namespace nudgelet::skin {

enum class StretchMode { Default, Stretch, Fill, Frame };

// How a picture is resampled when it is drawn at another size. Each axis picks
// its kernel from the filter and whether that axis shrinks, keeps or grows:
//
//                 same size   enlarged    shrunk
//   Default       copy        nearest     bilinear
//   FastSmooth    copy        bilinear    bilinear
//   Smooth        copy        bilinear    box (area average)
//
// Default is what a picture gets when nobody asked for smoothing: enlarged it
// keeps hard pixel edges, as plain image drawing does, because skins draw
// small patterns that are meant to stay crisp; shrunk, dropping source pixels
// would flicker between sizes, so it averages its two neighbours. Smooth
// shrinks by exact coverage, so a large picture drawn small keeps every pixel's
// share. Opacity never changes the samples, only how they are blended: a
// button fading in shows the same pixels as at full opacity.
//
// All sampling is in integers on premultiplied pixels: nearest takes the
// source pixel under the destination pixel's centre; bilinear maps centres
// onto centres with 8 bits of weight per axis (truncated); box weighs each
// source pixel by how much of it the destination pixel covers. Every channel
// is the weighted sum divided by the total weight, rounded half up, so colour
// never exceeds alpha and the same input always gives the same pixels.
enum class SmoothFilter { Default = 0, FastSmooth = 1, Smooth = 2 };

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

// Draws src's part `from` scaled into `to` of dst with `filter`, blended over
// with opacity 0..255. A part that is not wholly inside src draws nothing.
void DrawScaled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity,
                SmoothFilter filter = SmoothFilter::Default);
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

// Corners are drawn unscaled; edges and centre with `filter` (tiles are
// copies, so it does not touch them).
void DrawNineSlice(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, const TDesignRect& margins,
                   int opacity, SmoothFilter filter = SmoothFilter::Default);

}  // namespace nudgelet::skin
