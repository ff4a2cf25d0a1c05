#pragma once
// Text helpers shared by every layer. Text is std::wstring throughout; on Windows
// that is UTF-16, natively it is UTF-32. Conversions to bytes happen only at
// file-format and library boundaries, through the functions here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet {

// UTF-8 <-> wide. Invalid UTF-8 bytes decode as U+FFFD; unpaired surrogates encode as U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// One code point as UTF-8; surrogates and values beyond Unicode become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 little-endian bytes <-> wide. An odd trailing byte is ignored.
std::wstring Utf16LeToWide(const std::uint8_t* bytes, std::size_t count);
std::vector<std::uint8_t> WideToUtf16Le(std::wstring_view wide);

// One byte a character (Latin-1), for single-byte data that carries no encoding of its own.
std::wstring Latin1ToWide(std::string_view bytes);

// Case rules. Windows compares names (registry keys, ini sections, file names)
// without regard to case using its own upper-case table; FoldUpper covers the
// scripts the product meets: ASCII, Latin-1, Greek and Cyrillic.
wchar_t FoldUpper(wchar_t c);
wchar_t FoldLower(wchar_t c);
std::wstring ToUpper(std::wstring_view text);
std::wstring ToLower(std::wstring_view text);
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
bool ContainsIgnoreCase(std::wstring_view haystack, std::wstring_view needle);

// Trims characters at or below the blank, as the product's ini and registry rules expect.
std::wstring_view TrimView(std::wstring_view text);
std::wstring Trim(std::wstring_view text);

// Ordering for maps keyed by names that compare without regard to case.
struct LessIgnoreCase {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const;
};

// Replaces every occurrence of what, ignoring letter case.
std::wstring ReplaceAllIgnoreCase(const std::wstring& text, const std::wstring& what, const std::wstring& with);

}  // namespace nudgelet
