#pragma once
// Numbers in text, read one way by every reader: ASCII digits only, no blanks,
// no locale, and a value out of range is no number rather than a clamped one.
// Each format's own extras (signs, "$" or "0x" prefixes, trimming) stay with
// that format and end up here for the digits.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace nudgelet {

// 0..15 for a hexadecimal digit of either case, -1 for anything else.
constexpr int HexDigitValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
  return -1;
}

// Digits of base 10 or 16 and nothing else; nullopt when there are none, when
// another character is among them, or when the value exceeds limit.
std::optional<std::uint64_t> ParseDigits(std::wstring_view digits, unsigned base,
                                         std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());
std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base,
                                         std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

// An optional "+" or "-", then decimal digits; nullopt outside [min, max].
std::optional<std::int64_t> ParseDecimal(std::wstring_view text,
                                         std::int64_t min = std::numeric_limits<std::int64_t>::min(),
                                         std::int64_t max = std::numeric_limits<std::int64_t>::max());
std::optional<std::int64_t> ParseDecimal(std::string_view text,
                                         std::int64_t min = std::numeric_limits<std::int64_t>::min(),
                                         std::int64_t max = std::numeric_limits<std::int64_t>::max());

// Upper-case hexadecimal digits without prefix, padded with zeros to at least
// minDigits; a wider value keeps all its digits.
std::wstring FormatHex(std::uint64_t value, int minDigits);

}  // namespace nudgelet
