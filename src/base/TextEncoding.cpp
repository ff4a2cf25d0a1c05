#include "base/TextEncoding.h"

#include "base/Strings.h"

namespace nudgelet {

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    int extra;
    char32_t cp;
    char32_t min;
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1;
      cp = b0 & 0x1F;
      min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2;
      cp = b0 & 0x0F;
      min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3;
      cp = b0 & 0x07;
      min = 0x10000;
    } else return false;
    if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::wstring DecodeUtf8OrLatin1(std::string_view bytes) {
  return IsValidUtf8(bytes) ? Utf8ToWide(bytes) : Latin1ToWide(bytes);
}

DecodedText DecodeText(const std::vector<std::uint8_t>& bytes, const NoBomDecoder& noBom) {
  DecodedText out;
  const std::size_t n = bytes.size();
  if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    out.encoding = TextEncoding::Utf16Le;
    out.text = Utf16LeToWide(bytes.data() + 2, n - 2);
  } else if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    out.encoding = TextEncoding::Utf16Be;
    std::vector<std::uint8_t> swapped(bytes.begin() + 2, bytes.end());
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    out.text = Utf16LeToWide(swapped.data(), swapped.size());
  } else if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    out.encoding = TextEncoding::Utf8WithBom;
    out.text = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, n - 3));
  } else {
    out.encoding = TextEncoding::NoBom;
    out.text = noBom(std::string_view(reinterpret_cast<const char*>(bytes.data()), n));
  }
  return out;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace nudgelet
