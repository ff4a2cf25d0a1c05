#include "detection/Base64.h"

#include <algorithm>
#include <array>

namespace nudgelet::detection {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kSkip = 0xFF;
constexpr std::uint8_t kPad = 0xFE;

constexpr std::array<std::uint8_t, 256> MakeValues() {
  std::array<std::uint8_t, 256> values{};
  for (auto& v : values) v = kSkip;
  for (std::uint8_t i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
  values[static_cast<unsigned char>('=')] = kPad;
  return values;
}

constexpr std::array<std::uint8_t, 256> kValues = MakeValues();

}  // namespace

std::size_t DecodeBase64InPlace(std::uint8_t* data, std::size_t size) {
  // Four kept characters come from at least four input positions and give at
  // most three bytes, so the write position never passes the read position.
  std::size_t out = 0;
  std::uint8_t group[4];
  std::size_t filled = 0;
  auto flush = [&] {
    // Characters up to the first "=" carry data; 2, 3 or 4 of them give 1, 2 or 3 bytes.
    std::size_t meaningful = 0;
    while (meaningful < filled && group[meaningful] != kPad) ++meaningful;
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits = (bits << 6) | (i < meaningful ? group[i] : 0u);
    if (meaningful >= 2) data[out++] = static_cast<std::uint8_t>(bits >> 16);
    if (meaningful >= 3) data[out++] = static_cast<std::uint8_t>(bits >> 8);
    if (meaningful >= 4) data[out++] = static_cast<std::uint8_t>(bits);
    filled = 0;
  };
  for (std::size_t in = 0; in < size; ++in) {
    // Whole groups of four data characters, the bulk of any line, go at once.
    while (filled == 0 && size - in >= 4) {
      const std::uint32_t a = kValues[data[in]], b = kValues[data[in + 1]], c = kValues[data[in + 2]],
                          d = kValues[data[in + 3]];
      if ((a | b | c | d) >= 64) break;
      const std::uint32_t bits = (a << 18) | (b << 12) | (c << 6) | d;
      data[out] = static_cast<std::uint8_t>(bits >> 16);
      data[out + 1] = static_cast<std::uint8_t>(bits >> 8);
      data[out + 2] = static_cast<std::uint8_t>(bits);
      out += 3;
      in += 4;
    }
    if (in == size) break;
    const std::uint8_t value = kValues[data[in]];
    if (value == kSkip) continue;
    group[filled++] = value;
    if (filled == 4) flush();
  }
  if (filled > 0) flush();
  return out;
}

std::vector<std::uint8_t> DecodeBase64(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.resize(DecodeBase64InPlace(bytes.data(), bytes.size()));
  return bytes;
}

std::string EncodeBase64(const std::uint8_t* data, std::size_t size, std::size_t lineLength) {
  std::string text;
  const std::size_t chars = (size + 2) / 3 * 4;
  text.reserve(chars + (lineLength ? chars / lineLength * 2 : 0));
  std::size_t onLine = 0;
  auto put = [&](char c) {
    if (lineLength && onLine == lineLength) {
      text += "\r\n";
      onLine = 0;
    }
    text += c;
    ++onLine;
  };
  for (std::size_t i = 0; i < size; i += 3) {
    const std::size_t n = std::min<std::size_t>(3, size - i);
    std::uint32_t bits = static_cast<std::uint32_t>(data[i]) << 16;
    if (n > 1) bits |= static_cast<std::uint32_t>(data[i + 1]) << 8;
    if (n > 2) bits |= data[i + 2];
    put(kAlphabet[(bits >> 18) & 63]);
    put(kAlphabet[(bits >> 12) & 63]);
    put(n > 1 ? kAlphabet[(bits >> 6) & 63] : '=');
    put(n > 2 ? kAlphabet[bits & 63] : '=');
  }
  return text;
}

}  // namespace nudgelet::detection
