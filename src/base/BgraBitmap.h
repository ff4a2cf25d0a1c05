#pragma once
// A 32-bit bitmap in memory: premultiplied blue, green, red and alpha bytes
// (the order Windows DIB sections use), rows from the top. The common currency
// of icons and skin pictures; only finished pixels go to a device context.

#include <cstdint>
#include <vector>

namespace nudgelet {

struct BgraBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB with RGB premultiplied by A

  BgraBitmap() = default;
  // Zero or negative sizes make an empty bitmap.
  BgraBitmap(int w, int h) : width(w > 0 ? w : 0), height(h > 0 ? h : 0) {
    pixels.assign(static_cast<std::size_t>(width) * height, 0);
  }
  bool Empty() const { return width == 0 || height == 0; }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Straight (not premultiplied) colour to the stored form.
inline std::uint32_t Premultiply(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  auto mul = [a](std::uint8_t c) { return static_cast<std::uint32_t>((c * a + 127) / 255); };
  return (std::uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

}  // namespace nudgelet
