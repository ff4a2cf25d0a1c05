#include "detection/IconFile.h"
#include "base/ByteOrder.h"
#include "base/Numbers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nudgelet::detection {
namespace {

// No icon entry the list can use is larger; bigger claims are not icons.
constexpr int kMaxSide = 1024;

struct Entry {
  int width;
  int height;
  int bits;
  std::uint32_t offset;
  std::uint32_t size;
};

std::optional<Bitmap> DecodeBmp(const std::uint8_t* data, std::size_t size, int entryHeight) {
  if (size < 40) return std::nullopt;
  const std::uint32_t headerSize = ReadLe32(data);
  const std::int32_t width = static_cast<std::int32_t>(ReadLe32(data + 4));
  const std::int32_t doubleHeight = static_cast<std::int32_t>(ReadLe32(data + 8));
  const int bits = static_cast<int>(ReadLe16(data + 14));
  const std::uint32_t compression = ReadLe32(data + 16);
  std::uint32_t colours = ReadLe32(data + 32);
  if (headerSize < 40 || headerSize > size || compression != 0) return std::nullopt;
  if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight > 2 * kMaxSide) return std::nullopt;
  // The height counts the colour rows and the mask rows together.
  const int height = doubleHeight / 2 > 0 ? doubleHeight / 2 : entryHeight;
  if (height <= 0 || height > kMaxSide) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

  std::size_t offset = headerSize;
  std::vector<std::uint32_t> palette;
  if (bits <= 8) {
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
    if (offset + std::size_t{colours} * 4 > size) return std::nullopt;
    for (std::uint32_t i = 0; i < colours; ++i) {
      const std::uint8_t* q = data + offset + i * 4;
      palette.push_back((std::uint32_t{q[2]} << 16) | (std::uint32_t{q[1]} << 8) | q[0]);
    }
    offset += std::size_t{colours} * 4;
  }
  const std::size_t colourStride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  const std::size_t colourBytes = colourStride * height;
  if (offset + colourBytes > size) return std::nullopt;
  const std::uint8_t* colourRows = data + offset;
  // Some writers leave the mask out of 32-bit entries: their alpha alone counts.
  const bool hasMask = offset + colourBytes + maskStride * height <= size;
  const std::uint8_t* maskRows = hasMask ? colourRows + colourBytes : nullptr;

  Bitmap bitmap(width, height);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = colourRows + colourStride * (height - 1 - y);  // rows are stored bottom up
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb = 0;
      std::uint8_t alpha = 255;
      switch (bits) {
        case 32:
          rgb = (std::uint32_t{row[x * 4 + 2]} << 16) | (std::uint32_t{row[x * 4 + 1]} << 8) | row[x * 4];
          alpha = row[x * 4 + 3];
          anyAlpha = anyAlpha || alpha != 0;
          break;
        case 24:
          rgb = (std::uint32_t{row[x * 3 + 2]} << 16) | (std::uint32_t{row[x * 3 + 1]} << 8) | row[x * 3];
          break;
        default: {
          const int perByte = 8 / bits;
          const int shift = 8 - bits * (x % perByte + 1);
          const std::uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
          rgb = index < palette.size() ? palette[index] : 0;
        }
      }
      bitmap.At(x, y) = (std::uint32_t{alpha} << 24) | rgb;
    }
  }
  // Without real alpha, the mask says which pixels show.
  const bool useMask = bits != 32 || !anyAlpha;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* mask = maskRows ? maskRows + maskStride * (height - 1 - y) : nullptr;
    for (int x = 0; x < width; ++x) {
      std::uint32_t& p = bitmap.At(x, y);
      std::uint8_t alpha = static_cast<std::uint8_t>(p >> 24);
      if (useMask) alpha = (mask && ((mask[x / 8] >> (7 - x % 8)) & 1)) ? 0 : 255;
      p = Premultiply((std::uint32_t{alpha} << 24) | (p & 0x00FFFFFFu));
    }
  }
  return bitmap;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeHexText(const std::wstring& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigitValue(text[i]);
    const int lo = HexDigitValue(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return bytes;
}

Bitmap ResizeBitmap(const Bitmap& source, int width, int height) {
  Bitmap out(width, height);
  if (source.Empty() || out.Empty()) return out;
  for (int y = 0; y < out.Height(); ++y) {
    const int y0 = y * source.Height() / out.Height();
    const int y1 = std::max(y0 + 1, (y + 1) * source.Height() / out.Height());
    for (int x = 0; x < out.Width(); ++x) {
      const int x0 = x * source.Width() / out.Width();
      const int x1 = std::max(x0 + 1, (x + 1) * source.Width() / out.Width());
      std::uint32_t sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const std::uint32_t p = source.At(sx, sy);
          for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      }
      const std::uint32_t n = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
      std::uint32_t p = 0;
      for (int c = 0; c < 4; ++c) p |= ((sum[c] + n / 2) / n) << (8 * c);
      out.At(x, y) = p;
    }
  }
  return out;
}

std::optional<Bitmap> DecodeIconFile(const std::uint8_t* data, std::size_t size, int wanted) {
  if (!data || size < 6 || ReadLe16(data) != 0 || (ReadLe16(data + 2) != 1 && ReadLe16(data + 2) != 2))
    return std::nullopt;
  const std::size_t count = ReadLe16(data + 4);
  if (count == 0 || 6 + count * 16 > size) return std::nullopt;
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + 6 + i * 16;
    Entry entry{e[0] ? e[0] : 256, e[1] ? e[1] : 256, static_cast<int>(ReadLe16(e + 6)), ReadLe32(e + 12),
                ReadLe32(e + 8)};
    if (std::uint64_t{entry.offset} + entry.size > size || entry.size < 8) continue;
    entries.push_back(entry);
  }
  // Closest size first, then deeper colour; a broken entry makes way for the next.
  std::stable_sort(entries.begin(), entries.end(), [wanted](const Entry& a, const Entry& b) {
    const int da = std::abs(a.width - wanted);
    const int db = std::abs(b.width - wanted);
    return da != db ? da < db : a.bits > b.bits;
  });
  for (const Entry& entry : entries) {
    const std::uint8_t* image = data + entry.offset;
    static const std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::optional<Bitmap> bitmap = std::memcmp(image, kPng, 8) == 0
                                       ? DecodePng(std::vector<std::uint8_t>(image, image + entry.size))
                                       : DecodeBmp(image, entry.size, entry.height);
    if (!bitmap || bitmap->Width() > kMaxSide || bitmap->Height() > kMaxSide) continue;
    if (bitmap->Width() != wanted || bitmap->Height() != wanted) return ResizeBitmap(*bitmap, wanted, wanted);
    return bitmap;
  }
  return std::nullopt;
}

}  // namespace nudgelet::detection
