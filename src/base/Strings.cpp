#include "base/Strings.h"

#include <algorithm>

#include "base/ByteOrder.h"

namespace nudgelet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Reads one code point from wide text; advances i.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  const char32_t c = static_cast<char32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i < text.size()) {
        const char32_t low = static_cast<char32_t>(text[i]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          ++i;
          return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
      }
      return kReplacement;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return kReplacement;
    return c;
  } else {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    return c;
  }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
      out.push_back(static_cast<wchar_t>(b0));
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
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
    } else {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= utf8.size()) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(utf8[i + k]);
      if ((b & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  std::size_t i = 0;
  while (i < wide.size()) AppendUtf8(out, NextCodePoint(wide, i));
  return out;
}

std::wstring Utf16LeToWide(const std::uint8_t* bytes, std::size_t count) {
  std::wstring out;
  const std::size_t units = count / 2;
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t u = ReadLe16(bytes + 2 * i);
    if constexpr (sizeof(wchar_t) == 2) {
      out.push_back(static_cast<wchar_t>(u));
    } else {
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
        const char32_t low = ReadLe16(bytes + 2 * i + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
          ++i;
          continue;
        }
      }
      out.push_back(static_cast<wchar_t>((u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u));
    }
  }
  return out;
}

std::vector<std::uint8_t> WideToUtf16Le(std::wstring_view wide) {
  std::vector<std::uint8_t> out;
  out.reserve(wide.size() * 2);
  auto put = [&out](char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  };
  if constexpr (sizeof(wchar_t) == 2) {
    for (wchar_t c : wide) put(static_cast<char32_t>(c));
  } else {
    std::size_t i = 0;
    while (i < wide.size()) {
      char32_t cp = NextCodePoint(wide, i);
      if (cp >= 0x10000) {
        cp -= 0x10000;
        put(0xD800 + (cp >> 10));
        put(0xDC00 + (cp & 0x3FF));
      } else {
        put(cp);
      }
    }
  }
  return out;
}

std::wstring Latin1ToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

wchar_t FoldUpper(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u < 0x80) return (u >= 'a' && u <= 'z') ? static_cast<wchar_t>(u - 0x20) : c;
  if ((u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<wchar_t>(u - 0x20);
  if (u == 0xFF) return static_cast<wchar_t>(0x178);
  if (u >= 0x100 && u <= 0x17F && u != 0x130 && u != 0x131 && u != 0x138 && u != 0x149 && u != 0x17F) {
    // Latin Extended-A pairs: even upper, odd lower, with the run from 0x139 to 0x148 and
    // 0x179 to 0x17E shifted by one.
    const bool shifted = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    if (shifted ? (u % 2 == 0) : (u % 2 == 1)) return static_cast<wchar_t>(u - 1);
    return c;
  }
  if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return static_cast<wchar_t>(u - 0x20);
  if (u >= 0x430 && u <= 0x44F) return static_cast<wchar_t>(u - 0x20);
  if (u >= 0x450 && u <= 0x45F) return static_cast<wchar_t>(u - 0x50);
  if (u >= 0xFF41 && u <= 0xFF5A) return static_cast<wchar_t>(u - 0x20);  // full-width Latin
  return c;
}

wchar_t FoldLower(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u < 0x80) return (u >= 'A' && u <= 'Z') ? static_cast<wchar_t>(u + 0x20) : c;
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<wchar_t>(u + 0x20);
  if (u == 0x178) return static_cast<wchar_t>(0xFF);
  if (u >= 0x100 && u <= 0x17F && u != 0x130 && u != 0x131 && u != 0x138 && u != 0x149 && u != 0x17F) {
    const bool shifted = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    if (shifted ? (u % 2 == 1) : (u % 2 == 0)) return static_cast<wchar_t>(u + 1);
    return c;
  }
  if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return static_cast<wchar_t>(u + 0x20);
  if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 0x20);
  if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 0x50);
  if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<wchar_t>(u + 0x20);
  return c;
}

std::wstring ToUpper(std::wstring_view text) {
  std::wstring out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldUpper);
  return out;
}

std::wstring ToLower(std::wstring_view text) {
  std::wstring out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldLower);
  return out;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldUpper(a[i]) != FoldUpper(b[i])) return false;
  }
  return true;
}

bool ContainsIgnoreCase(std::wstring_view haystack, std::wstring_view needle) {
  return ToUpper(haystack).find(ToUpper(needle)) != std::wstring::npos;
}

std::wstring_view TrimView(std::wstring_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<std::uint32_t>(text[first]) <= 0x20) ++first;
  while (last > first && static_cast<std::uint32_t>(text[last - 1]) <= 0x20) --last;
  return text.substr(first, last - first);
}

std::wstring Trim(std::wstring_view text) { return std::wstring(TrimView(text)); }

bool LessIgnoreCase::operator()(std::wstring_view a, std::wstring_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const wchar_t x = FoldUpper(a[i]);
    const wchar_t y = FoldUpper(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

std::wstring ReplaceAllIgnoreCase(const std::wstring& text, const std::wstring& what, const std::wstring& with) {
  if (what.empty()) return text;
  const std::wstring upperText = ToUpper(text);
  const std::wstring upperWhat = ToUpper(what);
  std::wstring out;
  std::size_t from = 0;
  for (std::size_t pos = upperText.find(upperWhat); pos != std::wstring::npos; pos = upperText.find(upperWhat, from)) {
    out.append(text, from, pos - from);
    out += with;
    from = pos + what.size();
  }
  out.append(text, from, std::wstring::npos);
  return out;
}

}  // namespace nudgelet
