#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <functional>

#include "detection/IconFile.h"

namespace nudgelet::detection {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

struct Image {
  int width;
  int bits;
  std::vector<std::uint8_t> bytes;  // BMP header onwards, or a PNG file
};

bool NoMask(int, int) { return false; }

// A BMP entry: header, palette, colour rows (bottom up), mask rows.
Image Bmp(int w, int bits, const std::vector<std::uint32_t>& palette,
          const std::function<std::uint32_t(int x, int y)>& value,
          const std::function<bool(int x, int y)>& masked = NoMask) {
  Image img{w, bits, {}};
  auto& b = img.bytes;
  for (std::uint32_t v : {40, w, 2 * w}) Put32(b, v);
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  for (std::uint32_t c : palette) Put32(b, c);
  const int stride = ((w * bits + 31) / 32) * 4;
  for (int y = w - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = value(x, y);
      if (bits == 32) std::memcpy(&row[x * 4], &v, 4);
      else if (bits == 24) {
        row[x * 3] = v & 0xFF;
        row[x * 3 + 1] = (v >> 8) & 0xFF;
        row[x * 3 + 2] = (v >> 16) & 0xFF;
      } else {
        const int perByte = 8 / bits;
        row[x / perByte] |= static_cast<std::uint8_t>(v << (8 - bits * (x % perByte + 1)));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  const int maskStride = ((w + 31) / 32) * 4;
  for (int y = w - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
    for (int x = 0; x < w; ++x) {
      if (masked(x, y)) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return img;
}

Image Png(int w, std::uint32_t argb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(w);
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * w, argb);
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::vector<std::uint8_t> bytes(size);
  png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr);
  bytes.resize(size);
  return Image{w, 32, bytes};
}

std::vector<std::uint8_t> Ico(const std::vector<Image>& images) {
  std::vector<std::uint8_t> b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const auto& img : images) {
    const auto side = static_cast<std::uint8_t>(img.width == 256 ? 0 : img.width);
    b.insert(b.end(), {side, side, 0, 0});
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(img.bits));
    Put32(b, static_cast<std::uint32_t>(img.bytes.size()));
    Put32(b, offset);
    offset += static_cast<std::uint32_t>(img.bytes.size());
  }
  for (const auto& img : images) b.insert(b.end(), img.bytes.begin(), img.bytes.end());
  return b;
}

std::optional<Bitmap> Decode(const std::vector<std::uint8_t>& ico) { return DecodeIconFile(ico.data(), ico.size()); }

Image Solid(int w, std::uint32_t argb) {
  return Bmp(w, 32, {}, [=](int, int) { return argb; });
}

TEST(IconFile, ThirtyTwoBitEntryKeepsItsAlphaPremultiplied) {
  const auto bitmap = Decode(Ico({Bmp(32, 32, {}, [](int x, int) { return x < 16 ? 0x80FF0000u : 0xFF00FF00u; })}));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), 32);
  EXPECT_EQ(bitmap->At(0, 0), 0x80800000u);  // half-transparent red, premultiplied
  EXPECT_EQ(bitmap->At(31, 31), 0xFF00FF00u);
}

TEST(IconFile, PaletteEntriesUseTheMaskAndAreEnlarged) {
  // 16 x 16, 4 bits: colour index 1 everywhere, the top-left quarter masked out.
  std::vector<std::uint32_t> palette(16, 0);
  palette[1] = 0x0000FF;
  const auto bitmap = Decode(Ico({Bmp(
      16, 4, palette, [](int, int) { return 1u; }, [](int x, int y) { return x < 8 && y < 8; })}));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), 32);
  EXPECT_EQ(bitmap->At(0, 0), 0u);             // masked: transparent
  EXPECT_EQ(bitmap->At(31, 31), 0xFF0000FFu);  // palette blue
  EXPECT_EQ(bitmap->At(15, 15), 0u);
  EXPECT_EQ(bitmap->At(16, 16), 0xFF0000FFu);
}

TEST(IconFile, OneBitTwentyFourBitAndPngEntries) {
  const auto mono = Decode(Ico({Bmp(32, 1, {0x000000, 0xFFFFFF}, [](int x, int) { return x % 2u; })}));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->At(0, 5), 0xFF000000u);
  EXPECT_EQ(mono->At(1, 5), 0xFFFFFFFFu);
  const auto rgb = Decode(Ico({Bmp(
      32, 24, {}, [](int, int y) { return y == 0 ? 0x123456u : 0xABCDEFu; }, [](int x, int) { return x == 3; })}));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->At(0, 0), 0xFF123456u);  // the first row of the picture is its top
  EXPECT_EQ(rgb->At(0, 1), 0xFFABCDEFu);
  EXPECT_EQ(rgb->At(3, 1), 0u);
  // PNG entries are shrunk to 32.
  const auto png = Decode(Ico({Png(64, 0xFF336699u)}));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->Width(), 32);
  EXPECT_EQ(png->At(10, 20), 0xFF336699u);
}

TEST(IconFile, PicksTheEntryClosestToThirtyTwo) {
  const auto small = Solid(16, 0xFF0000FFu);
  const auto exact = Solid(32, 0xFFFF0000u);
  EXPECT_EQ(Decode(Ico({small, exact}))->At(0, 0), 0xFFFF0000u);
  // Equal sizes: the deeper colour wins.
  const auto shallow = Bmp(32, 8, std::vector<std::uint32_t>(256, 0x00FF00), [](int, int) { return 0u; });
  EXPECT_EQ(Decode(Ico({shallow, exact}))->At(0, 0), 0xFFFF0000u);
  // A broken best entry makes way for the next one.
  auto broken = exact;
  broken.bytes.resize(60);
  EXPECT_EQ(Decode(Ico({broken, small}))->At(0, 0), 0xFF0000FFu);
}

TEST(IconFile, MalformedFilesAreRefusedWithoutReadingPastTheEnd) {
  const auto good = Ico({Solid(32, 0xFF000000u)});
  for (std::size_t cut = 0; cut < good.size(); cut += 7) {
    EXPECT_FALSE(Decode(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))))
        << cut;
  }
  auto lying = good;
  lying[4] = lying[5] = 0xFF;  // 65535 entries declared: the directory alone outgrows the file
  EXPECT_FALSE(Decode(lying));
  auto huge = Solid(32, 0);
  huge.bytes[4] = huge.bytes[5] = 0xFF;  // a width of 65535
  EXPECT_FALSE(Decode(Ico({huge})));
}

TEST(HexText, TwoDigitsAByte) {
  EXPECT_EQ(DecodeHexText(L"00ff7F"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x7F}));
  EXPECT_EQ(DecodeHexText(L""), std::vector<std::uint8_t>{});
  EXPECT_FALSE(DecodeHexText(L"abc"));
  EXPECT_FALSE(DecodeHexText(L"zz"));
}

}  // namespace
}  // namespace nudgelet::detection
