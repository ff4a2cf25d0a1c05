// Pixels: nine-slice drawing and resampling by filter, against values worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/NineSlice.h"
#include "skin/TestPictures.h"

namespace nudgelet::skin {
namespace {

using namespace nudgelet::skin::testing;

TEST(NineSlice, PiecesKeepCornersAndStretchTheRest) {
  TDesignRect m;
  m.SetMargins(6, 6, TDesignRect::kSameAsOpposite, TDesignRect::kSameAsOpposite);
  EXPECT_EQ(m.right, 6);
  EXPECT_EQ(m.bottom, 6);
  m.SetMargins(TDesignRect::kUnchanged, 0, 0, 2);
  EXPECT_EQ(m.left, 6);
  EXPECT_EQ(m.bottom, 2);
  m.SetMargins(6, 6, 6, 6);

  const auto pieces = SlicePieces(20, 20, 130, 32, m);
  ASSERT_EQ(pieces.size(), 9u);
  EXPECT_EQ(pieces[0].to, (Rect{0, 0, 6, 6}));
  EXPECT_EQ(pieces[2].from, (Rect{14, 0, 20, 6}));
  EXPECT_EQ(pieces[2].to, (Rect{124, 0, 130, 6}));
  EXPECT_EQ(pieces[7].to, (Rect{124, 26, 130, 32}));
  EXPECT_EQ(pieces[8].from, (Rect{6, 6, 14, 14}));
  EXPECT_EQ(pieces[8].to, (Rect{6, 6, 124, 26}));

  // At (almost) its own size the picture is simply drawn.
  const auto plain = SlicePieces(20, 20, 21, 20, m);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].to, (Rect{0, 0, 21, 20}));
  // Only the height matches: the left and right margins stay.
  EXPECT_EQ(SlicePieces(20, 20, 100, 20, m).size(), 3u);

  m.mode = StretchMode::Frame;
  EXPECT_EQ(SlicePieces(20, 20, 130, 32, m).size(), 8u) << "a frame leaves the centre";
  m.mode = StretchMode::Fill;
  const auto filled = SlicePieces(20, 20, 130, 32, m);
  EXPECT_TRUE(filled[1].tiled);
  EXPECT_FALSE(filled[0].tiled) << "corners are never tiled";
  m.SetMargins(3, 3, 3, 3);
  EXPECT_FALSE(SlicePieces(20, 20, 130, 32, m)[1].tiled) << "3-pixel edges stretch";
  EXPECT_EQ(SlicePieces(20, 20, 130, 32, TDesignRect{StretchMode::Fill, 0, 0, 0, 0}).size(), 1u);
}

TEST(NineSlice, DrawsCornersUnscaledAndTilesFill) {
  const Bitmap src = Framed();
  Bitmap dst(130, 32);
  DrawNineSlice(dst, {0, 0, 130, 32}, src, {0, 0, 20, 20}, TDesignRect{StretchMode::Stretch, 6, 6, 6, 6}, 255);
  EXPECT_EQ(dst.At(0, 0), kRed);
  EXPECT_EQ(dst.At(5, 5), kRed);
  EXPECT_EQ(dst.At(124, 26), kRed);
  EXPECT_EQ(dst.At(129, 31), kRed);
  EXPECT_EQ(dst.At(64, 0), kGreen);
  EXPECT_EQ(dst.At(0, 16), kGreen);
  EXPECT_EQ(dst.At(64, 16), kWhite);

  Bitmap tiled(40, 10);
  DrawTiled(tiled, {0, 0, 40, 10}, Strip(9, 10), {0, 0, 9, 10}, 255);
  EXPECT_EQ(tiled.At(0, 0), kRed);
  EXPECT_EQ(tiled.At(9, 0), kRed) << "the second tile starts where the first ends";
  EXPECT_EQ(tiled.At(39, 9), kGreen) << "the last tile is cut";

  // Tiles that cannot reach the bitmap cost nothing, however many there would be.
  Bitmap small(8, 8);
  DrawTiled(small, {-1000000000, -1000000000, 1000000000, 1000000000}, Strip(4, 4), {0, 0, 4, 4}, 255);
  EXPECT_EQ(small.At(0, 0), kRed);
  EXPECT_EQ(small.At(7, 7), kBlue) << "tiles stay aligned to the rectangle's corner";

  Bitmap untouched(10, 10);
  DrawNineSlice(untouched, {0, 0, 10, 10}, src, {0, 0, 20, 20}, TDesignRect{}, 0);
  EXPECT_EQ(untouched.At(5, 5), 0u);
}

constexpr std::uint32_t T = 0x00000000;  // transparent
constexpr std::uint32_t W = 0xFFFFFFFF;  // white
constexpr std::uint32_t K = 0xFF000000;  // black

// Opaque grey of level v.
constexpr std::uint32_t Grey(std::uint32_t v) { return 0xFF000000 | v * 0x010101; }

Bitmap Make(int w, int h, const std::vector<std::uint32_t>& pixels) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.At(x, y) = pixels[static_cast<std::size_t>(y * w + x)];
  }
  return b;
}

// 65800 × 1, black then white: the average is 127.5.
std::vector<std::uint32_t> LongStrip() {
  std::vector<std::uint32_t> out(65800, Grey(0));
  std::fill(out.begin() + 32900, out.end(), Grey(255));
  return out;
}

struct Case {
  std::string what;
  int sw, sh;
  std::vector<std::uint32_t> source;
  int dw, dh;
  SmoothFilter filter;
  int opacity;
  std::vector<std::uint32_t> expected;
};

// 2 × 2: transparent and white above, black and white below.
const std::vector<std::uint32_t> kQuad = {T, W, K, W};
// Bilinear 2 → 4 per axis: weights 1, 3/4 + 1/4, 1/4 + 3/4, 1. Both channels
// of a quarter of 255 are 63.75, rounded to 64; three quarters 191.25 to 191.
const std::vector<std::uint32_t> kQuadBilinear = {
    T,          0x40404040, 0xBFBFBFBF, W,  //
    0x40000000, 0x70404040, 0xCFBFBFBF, W,  // alpha 28672 × 255 / 65536 = 111.56 → 0x70
    0xBF000000, 0xCF404040, 0xEFBFBFBF, W,  //
    K,          0xFF404040, 0xFFBFBFBF, W,
};
// 4 × 4 whose 2 × 2 blocks average to 63.75, 25.25, 2.5 and a quarter white.
const std::vector<std::uint32_t> kBlocks = {Grey(0),  Grey(0),  Grey(10), Grey(20), Grey(0), Grey(255),
                                            Grey(30), Grey(41), Grey(1),  Grey(2),  T,       W,
                                            Grey(3),  Grey(4),  T,        T};
const std::vector<std::uint32_t> kSix = {Grey(0), Grey(90), Grey(0), Grey(30), Grey(30), Grey(240)};
constexpr auto kPlain = SmoothFilter::Default, kFast = SmoothFilter::FastSmooth, kSmooth = SmoothFilter::Smooth;
constexpr std::uint32_t H = 0x80808080, HK = 0x80000000;  // white and black at opacity 128

TEST(Smoothing, EachFilterGivesTheHandWorkedPixels) {
  const std::vector<std::uint32_t> blocks{T, T, W, W, T, T, W, W, K, K, W, W, K, K, W, W};
  const std::vector<std::uint32_t> faint{T, T, H, H, T, T, H, H, HK, HK, H, H, HK, HK, H, H};
  const std::vector<std::uint32_t> averaged{Grey(64), Grey(25), Grey(3), 0x40404040};
  const std::vector<Case> cases = {
      {"enlarged, no smoothing: 2 x 2 blocks", 2, 2, kQuad, 4, 4, kPlain, 255, blocks},
      {"enlarged, fast smoothing: bilinear", 2, 2, kQuad, 4, 4, kFast, 255, kQuadBilinear},
      {"enlarged, smooth: bilinear as well", 2, 2, kQuad, 4, 4, kSmooth, 255, kQuadBilinear},
      {"own size: a copy whatever the filter", 2, 2, kQuad, 2, 2, kSmooth, 255, kQuad},
      {"partial opacity: the nearest samples, fainter", 2, 2, kQuad, 4, 4, kPlain, 128, faint},
      {"halved, smooth: 2 x 2 averages, halves up", 4, 4, kBlocks, 2, 2, kSmooth, 255, averaged},
      {"halved, fast: bilinear halfway is the same", 4, 4, kBlocks, 2, 2, kFast, 255, averaged},
      {"a third, smooth: the average of each three", 6, 1, kSix, 2, 1, kSmooth, 255, {Grey(30), Grey(100)}},
      {"a third, fast: the centre of each three", 6, 1, kSix, 2, 1, kFast, 255, {Grey(90), Grey(30)}},
      {"a third, no smoothing: still averages", 6, 1, kSix, 2, 1, kPlain, 255, {Grey(90), Grey(30)}},
      {"2/3, smooth: by coverage", 3, 1, {Grey(0), Grey(255), Grey(90)}, 2, 1, kSmooth, 255, {Grey(85), Grey(145)}},
      {"box across, bilinear down", 2, 1, {Grey(0), Grey(255)}, 1, 2, kSmooth, 255, {Grey(128), Grey(128)}},
      {"sums beyond 32 bits", 65800, 1, LongStrip(), 1, 2, kSmooth, 255, {Grey(128), Grey(128)}},
  };
  for (const auto& c : cases) {
    Bitmap dst(c.dw, c.dh);
    DrawScaled(dst, {0, 0, c.dw, c.dh}, Make(c.sw, c.sh, c.source), {0, 0, c.sw, c.sh}, c.opacity, c.filter);
    EXPECT_EQ(dst.Pixels(), c.expected) << c.what;
  }
}

TEST(Smoothing, PremultipliedColourNeverExceedsAlphaAndPartsDrawnStayInside) {
  // Odd sizes in both directions and every filter: no channel above its alpha.
  Bitmap src(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x)
      src.At(x, y) = Premultiply((static_cast<std::uint32_t>(x * 36 + y * 7) << 24) | 0xFFFFFF);
  }
  for (auto filter : {SmoothFilter::Default, SmoothFilter::FastSmooth, SmoothFilter::Smooth}) {
    for (auto [w, h] : {std::pair{3, 2}, std::pair{11, 9}, std::pair{2, 13}}) {
      Bitmap dst(w + 2, h + 2);
      DrawScaled(dst, {1, 1, w + 1, h + 1}, src, {0, 0, 7, 5}, 255, filter);
      for (int y = 0; y < dst.Height(); ++y) {
        for (int x = 0; x < dst.Width(); ++x) {
          const std::uint32_t p = dst.At(x, y);
          const std::uint32_t a = p >> 24;
          EXPECT_LE((p >> 16) & 0xFF, a);
          EXPECT_LE(p & 0xFF, a);
          if (x == 0 || y == 0 || x == w + 1 || y == h + 1) {
            EXPECT_EQ(p, 0u) << "outside the rectangle";
          }
        }
      }
    }
  }
}

TEST(Smoothing, NineSliceEdgesFollowTheFilterAndCornersStayUnscaled) {
  // 8 × 1 with 1-pixel margins left and right: the six pixels between them
  // are the centre, shrunk to two.
  const Bitmap src = Make(8, 1, {Grey(7), Grey(0), Grey(90), Grey(0), Grey(30), Grey(30), Grey(240), Grey(9)});
  const TDesignRect margins{StretchMode::Stretch, 1, 0, 1, 0};
  Bitmap smooth(4, 5), fast(4, 5);
  DrawNineSlice(smooth, {0, 0, 4, 5}, src, {0, 0, 8, 1}, margins, 255, SmoothFilter::Smooth);
  DrawNineSlice(fast, {0, 0, 4, 5}, src, {0, 0, 8, 1}, margins, 255, SmoothFilter::FastSmooth);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(smooth.At(0, y), Grey(7));
    EXPECT_EQ(smooth.At(3, y), Grey(9));
    EXPECT_EQ(smooth.At(1, y), Grey(30));
    EXPECT_EQ(smooth.At(2, y), Grey(100));
    EXPECT_EQ(fast.At(0, y), Grey(7));
    EXPECT_EQ(fast.At(1, y), Grey(90));
    EXPECT_EQ(fast.At(2, y), Grey(30));
  }
}

}  // namespace
}  // namespace nudgelet::skin
