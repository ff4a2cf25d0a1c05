#pragma once
// Pictures in memory, as the skin engine composes them and as the update list
// holds its icons: 32-bit BGRA with premultiplied alpha, rows top-down, one
// uint32 a pixel (0xAARRGGBB, so the bytes in memory are B, G, R, A as a Windows
// DIB section holds them). Only finished pixels ever go to a device context.

#include <cstdint>
#include <optional>
#include <vector>

namespace nudgelet {

class Bitmap {
 public:
  Bitmap() = default;
  // Zero or negative sizes make an empty bitmap rather than a failure.
  Bitmap(int width, int height, std::uint32_t fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::uint32_t& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  // Largest picture the engine takes from a skin: far above any window, far
  // below what would exhaust memory (a 16k square is a gigabyte already).
  static constexpr std::uint64_t kMaxPixels = 16u << 20;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// Premultiplies a straight-alpha colour: 0xAARRGGBB in, premultiplied out.
std::uint32_t Premultiply(std::uint32_t argb);
// Source over destination, both premultiplied, the source scaled by opacity 0..255.
std::uint32_t BlendOver(std::uint32_t dst, std::uint32_t src, int opacity);

// Decodes a PNG of any colour type into a premultiplied bitmap; nullopt for
// data that is no PNG, is damaged, or is larger than Bitmap::kMaxPixels.
std::optional<Bitmap> DecodePng(const std::vector<std::uint8_t>& data);
// Writes a bitmap as an 8-bit RGBA PNG (alpha un-premultiplied).
std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap);

}  // namespace nudgelet
