// libFuzzer target for nine-slice drawing: margins come from skin files and
// rectangles from controls, so no combination of sizes, margins and modes may
// read or write outside a bitmap, or take long.
#include <cstdint>
#include <cstring>

#include "skin/NineSlice.h"

namespace {

int Take(const std::uint8_t*& data, std::size_t& size) {
  std::int16_t v = 0;
  if (size >= 2) {
    std::memcpy(&v, data, 2);
    data += 2;
    size -= 2;
  }
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nudgelet::skin;
  const int sw = Take(data, size) & 63, sh = Take(data, size) & 63;
  const int dw = Take(data, size) & 127, dh = Take(data, size) & 127;
  Bitmap src(sw, sh, 0xFF336699);
  Bitmap dst(dw, dh);
  const Rect from{Take(data, size), Take(data, size), Take(data, size), Take(data, size)};
  // Destinations well beyond the bitmap, scaled up so that huge ones occur.
  const Rect to{Take(data, size) * 1000, Take(data, size) * 7, Take(data, size) * 1000, Take(data, size) * 7};
  TDesignRect margins;
  margins.mode = static_cast<StretchMode>(Take(data, size) & 3);
  margins.SetMargins(Take(data, size), Take(data, size), Take(data, size), Take(data, size));
  const int opacity = Take(data, size) & 511;
  const auto filter = static_cast<SmoothFilter>((Take(data, size) & 0x7FFF) % 3);
  DrawNineSlice(dst, to, src, from, margins, opacity, filter);
  DrawScaled(dst, to, src, from, opacity, filter);
  DrawTiled(dst, to, src, from, opacity);
  SlicePieces(from.Width(), from.Height(), to.Width(), to.Height(), margins);
  return 0;
}
