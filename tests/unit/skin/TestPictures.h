#pragma once
// Pictures whose every pixel a test can name: solid colours placed so that a
// wrong slice, a wrong clip or a wrong scale shows up as a wrong colour.

#include <cstdint>
#include <string>
#include <vector>

#include "skin/Bitmap.h"

namespace nudgelet::skin::testing {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

inline std::string AsString(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// 20 × 20 with 6-pixel corners red, edges green, centre white.
inline Bitmap Framed() {
  Bitmap b(20, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool edgeX = x < 6 || x >= 14, edgeY = y < 6 || y >= 14;
      b.At(x, y) = edgeX && edgeY ? kRed : edgeX || edgeY ? kGreen : kWhite;
    }
  }
  return b;
}

// w × h, the left third red, the middle green, the right blue.
inline Bitmap Strip(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.At(x, y) = x < w / 3 ? kRed : x < 2 * w / 3 ? kGreen : kBlue;
  }
  return b;
}

// Six grey steps in a row: shrunk to two, a box filter averages each three
// (30, 100), bilinear takes the middle of each three (90, 30).
inline Bitmap Steps() {
  Bitmap b(6, 1);
  const std::uint32_t levels[] = {0, 90, 0, 30, 30, 240};
  for (int x = 0; x < 6; ++x) b.At(x, 0) = 0xFF000000 | levels[x] * 0x010101;
  return b;
}

}  // namespace nudgelet::skin::testing
