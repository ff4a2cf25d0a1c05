#include <gtest/gtest.h>

#include "base/Bitmap.h"
#include "skin/TestPictures.h"

namespace nudgelet {
namespace {

using namespace nudgelet::skin::testing;

TEST(Bitmap, PngRoundTripPremultipliesAndRefusesWhatIsNoPng) {
  Bitmap b(3, 2);
  b.At(0, 0) = kRed;
  b.At(1, 0) = Premultiply(0x80FF8000);
  b.At(2, 1) = kBlue;
  const auto png = EncodePng(b);
  const auto back = DecodePng(png);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Pixels(), b.Pixels());
  EXPECT_EQ(Premultiply(0x80FF8000), 0x80804000u);

  EXPECT_FALSE(DecodePng({}));
  EXPECT_FALSE(DecodePng({'n', 'o', 't'}));
  EXPECT_FALSE(DecodePng(std::vector<std::uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size()) / 2)));
  EXPECT_TRUE(Bitmap(-3, 10).Empty());
  EXPECT_TRUE(Bitmap(100000, 100000).Empty()) << "too large for any skin";
}

TEST(Bitmap, BlendingIsSourceOverWithOpacity) {
  EXPECT_EQ(BlendOver(kBlue, kRed, 255), kRed);
  EXPECT_EQ(BlendOver(kBlue, kRed, 0), kBlue);
  EXPECT_EQ(BlendOver(kBlue, 0, 255), kBlue);
  EXPECT_EQ(BlendOver(0, kRed, 128), 0x80800000u);
  EXPECT_EQ(BlendOver(kBlue, 0x80800000, 255), 0xFF80007Fu);
}

}  // namespace
}  // namespace nudgelet
