#include "skin/NineSlice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace nudgelet::skin {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Rect Offset(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, int weight) {  // weight 0..256 towards b
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF);
    const int y = static_cast<int>((b >> shift) & 0xFF);
    out |= static_cast<std::uint32_t>(x + (((y - x) * weight) >> 8)) << shift;
  }
  return out;
}

}  // namespace

void TDesignRect::SetMargins(int l, int t, int r, int b) {
  if (l != kUnchanged) {
    left = l;
    right = r == kSameAsOpposite ? l : r;
  }
  if (t != kUnchanged) {
    top = t;
    bottom = b == kSameAsOpposite ? t : b;
  }
}

void DrawScaled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity) {
  const Rect source = Intersect(from, {0, 0, src.Width(), src.Height()});
  if (opacity <= 0 || to.Empty() || source.Empty() || source != from) return;
  const Rect visible = Intersect(to, {0, 0, dst.Width(), dst.Height()});
  if (visible.Empty()) return;
  const int sw = from.Width(), sh = from.Height(), dw = to.Width(), dh = to.Height();

  // Where each destination column and row samples the source: pixel centres
  // onto pixel centres, two neighbours and 8 bits of weight. Worked out once a
  // picture, not once a pixel.
  struct Tap {
    int first;
    int second;
    int weight;
  };
  const auto taps = [](int sourceSize, int destSize, int start, int end) {
    std::vector<Tap> out;
    out.reserve(static_cast<std::size_t>(end - start));
    for (int i = start; i < end; ++i) {
      if (sourceSize == destSize) {
        out.push_back({i, i, 0});
        continue;
      }
      const double f = std::clamp((i + 0.5) * sourceSize / destSize - 0.5, 0.0, sourceSize - 1.0);
      const int a = static_cast<int>(f);
      out.push_back({a, std::min(a + 1, sourceSize - 1), static_cast<int>((f - a) * 256)});
    }
    return out;
  };
  const auto columns = taps(sw, dw, visible.left - to.left, visible.right - to.left);
  const auto rows = taps(sh, dh, visible.top - to.top, visible.bottom - to.top);

  for (int y = visible.top; y < visible.bottom; ++y) {
    const Tap& row = rows[static_cast<std::size_t>(y - visible.top)];
    for (int x = visible.left; x < visible.right; ++x) {
      const Tap& column = columns[static_cast<std::size_t>(x - visible.left)];
      const int sy0 = from.top + row.first, sy1 = from.top + row.second;
      const int sx0 = from.left + column.first, sx1 = from.left + column.second;
      std::uint32_t pixel;
      if (column.weight == 0 && row.weight == 0) {
        pixel = src.At(sx0, sy0);
      } else {
        const auto top = Lerp(src.At(sx0, sy0), src.At(sx1, sy0), column.weight);
        const auto bottom = Lerp(src.At(sx0, sy1), src.At(sx1, sy1), column.weight);
        pixel = Lerp(top, bottom, row.weight);
      }
      if (pixel != 0) dst.At(x, y) = BlendOver(dst.At(x, y), pixel, opacity);
    }
  }
}

void DrawTiled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity) {
  const Rect visible = Intersect(to, {0, 0, dst.Width(), dst.Height()});
  if (from.Empty() || visible.Empty()) return;
  // Only the tiles that reach the bitmap: a rectangle far larger than the
  // bitmap must not cost a tile for every step of it.
  const int tw = from.Width(), th = from.Height();
  const auto first = [](int start, int visibleStart, int step) {
    const std::int64_t skipped = (std::int64_t{visibleStart} - start) / step * step;
    return static_cast<int>(start + skipped);
  };
  const int firstY = first(to.top, visible.top, th);
  const int firstX = first(to.left, visible.left, tw);
  for (int y = firstY; y < visible.bottom; y += th) {
    for (int x = firstX; x < visible.right; x += tw) {
      const int w = std::min(from.Width(), to.right - x);
      const int h = std::min(from.Height(), to.bottom - y);
      DrawScaled(dst, {x, y, x + w, y + h}, src, {from.left, from.top, from.left + w, from.top + h}, opacity);
    }
  }
}

std::vector<SlicePiece> SlicePieces(int sw, int sh, int w, int h, const TDesignRect& margins) {
  std::vector<SlicePiece> pieces;
  const StretchMode mode = margins.mode == StretchMode::Default ? StretchMode::Stretch : margins.mode;
  if (margins.Empty() && mode != StretchMode::Fill) {
    pieces.push_back({{0, 0, sw, sh}, {0, 0, w, h}, false});
    return pieces;
  }
  int l = margins.left, t = margins.top, r = margins.right, b = margins.bottom;
  // A picture drawn at (almost) its own height or width needs no margins that way.
  if (std::abs(h - sh) < 2) t = b = 0;
  if (std::abs(w - sw) < 2) l = r = 0;

  const auto add = [&](bool wanted, Rect from, Rect to, bool scaled) {
    if (!wanted || from.Empty() || to.Empty()) return;
    // Tiles are only worth it for pieces of some size; small ones stretch.
    const bool tiled = scaled && mode == StretchMode::Fill && from.Width() >= 4 && from.Height() >= 4;
    pieces.push_back({from, to, tiled});
  };
  add(l > 0 && t > 0, {0, 0, l, t}, {0, 0, l, t}, false);
  add(t > 0, {l, 0, sw - r, t}, {l, 0, w - r, t}, true);
  add(r > 0 && t > 0, {sw - r, 0, sw, t}, {w - r, 0, w, t}, false);
  add(l > 0, {0, t, l, sh - b}, {0, t, l, h - b}, true);
  add(r > 0, {sw - r, t, sw, sh - b}, {w - r, t, w, h - b}, true);
  add(l > 0 && b > 0, {0, sh - b, l, sh}, {0, h - b, l, h}, false);
  add(b > 0, {l, sh - b, sw - r, sh}, {l, h - b, w - r, h}, true);
  add(r > 0 && b > 0, {sw - r, sh - b, sw, sh}, {w - r, h - b, w, h}, false);
  add(mode != StretchMode::Frame, {l, t, sw - r, sh - b}, {l, t, w - r, h - b}, true);
  return pieces;
}

void DrawNineSlice(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, const TDesignRect& margins,
                   int opacity) {
  if (opacity <= 0) return;
  for (const auto& piece : SlicePieces(from.Width(), from.Height(), to.Width(), to.Height(), margins)) {
    const Rect source = Offset(piece.from, from.left, from.top);
    const Rect target = Offset(piece.to, to.left, to.top);
    if (piece.tiled) {
      DrawTiled(dst, target, src, source, opacity);
    } else {
      DrawScaled(dst, target, src, source, opacity);
    }
  }
}

}  // namespace nudgelet::skin
