#include "base/Bitmap.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "base/ByteOrder.h"

namespace nudgelet {
namespace {

std::uint32_t Mul(std::uint32_t a, std::uint32_t b) {
  // a * b / 255, rounded, exact for bytes.
  const std::uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

// Every chunk up to IEND lies within the data. libpng allocates a chunk's
// declared length before it finds the data short, so a few hundred bytes
// claiming a 2 GB chunk would cost 2 GB; such a file is damaged anyway.
bool ChunksFitInData(const std::vector<std::uint8_t>& data) {
  constexpr std::size_t kSignature = 8, kFrame = 12;  // length, type, CRC
  std::size_t at = kSignature;
  while (at + 8 <= data.size()) {
    const std::uint64_t length = ReadBe32(&data[at]);
    if (at + kFrame > data.size() || length > data.size() - at - kFrame) return false;
    if (std::memcmp(&data[at + 4], "IEND", 4) == 0) return true;
    at += kFrame + length;
  }
  return true;  // what is left is too short for a chunk: libpng judges it
}

}  // namespace

Bitmap::Bitmap(int width, int height, std::uint32_t fill) {
  if (width <= 0 || height <= 0) return;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels) return;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

std::uint32_t Premultiply(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  return (a << 24) | (Mul((argb >> 16) & 0xFF, a) << 16) | (Mul((argb >> 8) & 0xFF, a) << 8) | Mul(argb & 0xFF, a);
}

std::uint32_t BlendOver(std::uint32_t dst, std::uint32_t src, int opacity) {
  if (opacity <= 0) return dst;
  if (opacity < 255) {
    const auto o = static_cast<std::uint32_t>(opacity);
    src = (Mul(src >> 24, o) << 24) | (Mul((src >> 16) & 0xFF, o) << 16) | (Mul((src >> 8) & 0xFF, o) << 8) |
          Mul(src & 0xFF, o);
  }
  const std::uint32_t inverse = 255 - (src >> 24);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = ((src >> shift) & 0xFF) + Mul((dst >> shift) & 0xFF, inverse);
    out |= std::min<std::uint32_t>(c, 255) << shift;
  }
  return out;
}

std::optional<Bitmap> DecodePng(const std::vector<std::uint8_t>& data) {
  if (data.size() < 8 || !ChunksFitInData(data)) return std::nullopt;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return std::nullopt;
  const std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * image.height;
  if (image.width == 0 || image.height == 0 || pixels > Bitmap::kMaxPixels) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  Bitmap bitmap(static_cast<int>(image.width), static_cast<int>(image.height));
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint8_t* p = &bytes[(static_cast<std::size_t>(y) * bitmap.Width() + x) * 4];
      // B, G, R, A in memory is 0xAARRGGBB read little-endian.
      bitmap.At(x, y) = Premultiply(ReadLe32(p));
    }
  }
  return bitmap;
}

std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap) {
  if (bitmap.Empty()) return {};
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 4);
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint32_t p = bitmap.At(x, y);
      const std::uint32_t a = p >> 24;
      std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * bitmap.Width() + x) * 4];
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t v = (p >> (16 - 8 * c)) & 0xFF;
        out[c] = static_cast<std::uint8_t>(a == 0 ? 0 : std::min<std::uint32_t>(255, (v * 255 + a / 2) / a));
      }
      out[3] = static_cast<std::uint8_t>(a);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.Width());
  image.height = static_cast<png_uint_32>(bitmap.Height());
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
  std::vector<std::uint8_t> png(size);
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
  png.resize(size);
  return png;
}

}  // namespace nudgelet
