#pragma once
// What the fuzz targets share: a check that stops the run where a sanitizer
// would not, and the ways raw bytes become the texts the readers take.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// Two bytes a character, so that every code unit, lone surrogates included, can occur.
inline std::wstring Utf16Units(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

// The input cut at every occurrence of a separator: one fuzz input can stand for
// several files that are only read together.
inline std::vector<std::vector<std::uint8_t>> SplitInput(const std::uint8_t* data, std::size_t size,
                                                         std::string_view separator) {
  std::vector<std::vector<std::uint8_t>> parts;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = all.find(separator, start);
    const std::size_t end = at == std::string_view::npos ? size : at;
    parts.emplace_back(data + start, data + end);
    if (at == std::string_view::npos) return parts;
    start = at + separator.size();
  }
}

}  // namespace nudgelet::fuzz
