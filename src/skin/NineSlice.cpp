#include "skin/NineSlice.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

namespace nudgelet::skin {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Rect Offset(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// One axis of a resampling: for each destination pixel the source pixels it
// reads and their weights. Every destination pixel's weights add up to
// `total`, which is the same along the whole axis.
struct Kernel {
  std::vector<std::uint32_t> first;  // index into taps, one more than pixels
  std::vector<int> index;            // source pixel, relative to the part
  std::vector<std::uint32_t> weight;
  std::uint32_t total = 1;
  bool single = true;  // one tap a pixel: no arithmetic needed
};

enum class Sampling { Copy, Nearest, Bilinear, Box };

Sampling SamplingFor(SmoothFilter filter, int sourceSize, int destSize) {
  if (sourceSize == destSize) return Sampling::Copy;
  if (destSize > sourceSize) return filter == SmoothFilter::Default ? Sampling::Nearest : Sampling::Bilinear;
  return filter == SmoothFilter::Smooth ? Sampling::Box : Sampling::Bilinear;
}

// Destination pixels [start, end) of `destSize`, from `sourceSize` source
// pixels. Positions are in 64 bits: destinations may reach far beyond the
// bitmap even though only the visible part is worked out.
Kernel MakeKernel(Sampling sampling, std::int64_t sourceSize, std::int64_t destSize, int start, int end) {
  Kernel k;
  const auto count = static_cast<std::size_t>(end - start);
  k.first.reserve(count + 1);
  k.index.reserve(count * 2);
  k.weight.reserve(count * 2);
  const auto add = [&](std::int64_t index, std::uint32_t weight) {
    if (weight == 0) return;
    k.index.push_back(static_cast<int>(index));
    k.weight.push_back(weight);
  };
  switch (sampling) {
    case Sampling::Copy:
    case Sampling::Nearest:
      k.total = 1;
      break;
    case Sampling::Bilinear:
      k.total = 256;
      k.single = false;
      break;
    case Sampling::Box:
      k.total = static_cast<std::uint32_t>(sourceSize);
      k.single = false;
      break;
  }
  for (std::int64_t i = start; i < end; ++i) {
    k.first.push_back(static_cast<std::uint32_t>(k.index.size()));
    switch (sampling) {
      case Sampling::Copy:
        add(i, 1);
        break;
      case Sampling::Nearest:
        // The source pixel under the destination pixel's centre.
        add(std::min((2 * i + 1) * sourceSize / (2 * destSize), sourceSize - 1), 1);
        break;
      case Sampling::Bilinear: {
        // Centre onto centre: (i + 0.5) * s / d - 0.5, in units of 1 / 2d.
        const std::int64_t scale = 2 * destSize;
        const std::int64_t at =
            std::clamp((2 * i + 1) * sourceSize - destSize, std::int64_t{0}, (sourceSize - 1) * scale);
        const std::int64_t a = at / scale;
        const auto w = static_cast<std::uint32_t>((at % scale) * 256 / scale);
        add(a, 256 - w);
        add(std::min(a + 1, sourceSize - 1), w);
        break;
      }
      case Sampling::Box: {
        // Destination pixel i covers [i * s, (i + 1) * s) in units of 1 / d
        // source pixels; source pixel j covers [j * d, (j + 1) * d).
        const std::int64_t from = i * sourceSize, to = from + sourceSize;
        for (std::int64_t j = from / destSize; j * destSize < to && j < sourceSize; ++j) {
          const std::int64_t overlap = std::min(to, (j + 1) * destSize) - std::max(from, j * destSize);
          add(j, static_cast<std::uint32_t>(overlap));
        }
        break;
      }
    }
  }
  k.first.push_back(static_cast<std::uint32_t>(k.index.size()));
  return k;
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

void DrawScaled(Bitmap& dst, const Rect& to, const Bitmap& src, const Rect& from, int opacity, SmoothFilter filter) {
  const Rect source = Intersect(from, {0, 0, src.Width(), src.Height()});
  if (opacity <= 0 || to.Empty() || source.Empty() || source != from) return;
  const Rect visible = Intersect(to, {0, 0, dst.Width(), dst.Height()});
  if (visible.Empty()) return;
  const int sw = from.Width(), sh = from.Height(), dw = to.Width(), dh = to.Height();

  // Worked out once a picture, not once a pixel.
  const Kernel columns =
      MakeKernel(SamplingFor(filter, sw, dw), sw, dw, visible.left - to.left, visible.right - to.left);
  const Kernel rows = MakeKernel(SamplingFor(filter, sh, dh), sh, dh, visible.top - to.top, visible.bottom - to.top);
  const std::uint64_t total = std::uint64_t{columns.total} * rows.total;
  // Bilinear totals are powers of two: a shift instead of four divisions a pixel.
  const int shift = std::has_single_bit(total) ? std::countr_zero(total) : -1;

  for (int y = visible.top; y < visible.bottom; ++y) {
    const auto r = static_cast<std::size_t>(y - visible.top);
    // One tap a pixel both ways: tap c of a column is the column's only one.
    const std::uint32_t* sourceRow =
        columns.single && rows.single
            ? src.Pixels().data() + static_cast<std::size_t>(from.top + rows.index[r]) * src.Width() + from.left
            : nullptr;
    for (int x = visible.left; x < visible.right; ++x) {
      const auto c = static_cast<std::size_t>(x - visible.left);
      std::uint32_t pixel;
      if (sourceRow) {
        pixel = sourceRow[columns.index[c]];
      } else {
        std::uint64_t sum[4] = {0, 0, 0, 0};
        for (auto ry = rows.first[r]; ry < rows.first[r + 1]; ++ry) {
          const int sy = from.top + rows.index[ry];
          for (auto cx = columns.first[c]; cx < columns.first[c + 1]; ++cx) {
            const std::uint64_t w = std::uint64_t{rows.weight[ry]} * columns.weight[cx];
            const std::uint32_t p = src.At(from.left + columns.index[cx], sy);
            for (int i = 0; i < 4; ++i) sum[i] += ((p >> (8 * i)) & 0xFF) * w;
          }
        }
        pixel = 0;
        for (int i = 0; i < 4; ++i) {
          const std::uint64_t rounded = sum[i] + total / 2;
          pixel |= static_cast<std::uint32_t>(shift >= 0 ? rounded >> shift : rounded / total) << (8 * i);
        }
      }
      if (opacity >= 255 && pixel >= 0xFF000000) {
        dst.At(x, y) = pixel;  // opaque over anything is itself
      } else if (pixel != 0) {
        dst.At(x, y) = BlendOver(dst.At(x, y), pixel, opacity);
      }
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
                   int opacity, SmoothFilter filter) {
  if (opacity <= 0) return;
  for (const auto& piece : SlicePieces(from.Width(), from.Height(), to.Width(), to.Height(), margins)) {
    const Rect source = Offset(piece.from, from.left, from.top);
    const Rect target = Offset(piece.to, to.left, to.top);
    if (piece.tiled) {
      DrawTiled(dst, target, src, source, opacity);
    } else {
      DrawScaled(dst, target, src, source, opacity, filter);
    }
  }
}

}  // namespace nudgelet::skin
