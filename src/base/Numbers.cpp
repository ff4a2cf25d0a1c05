#include "base/Numbers.h"

namespace nudgelet {
namespace {

template <class Char>
std::optional<std::uint64_t> Digits(std::basic_string_view<Char> digits, unsigned base, std::uint64_t limit) {
  if (digits.empty() || (base != 10 && base != 16)) return std::nullopt;
  std::uint64_t value = 0;
  for (const Char c : digits) {
    const int d = HexDigitValue(static_cast<char32_t>(c));
    if (d < 0 || static_cast<unsigned>(d) >= base) return std::nullopt;
    if (value > (limit - static_cast<unsigned>(d)) / base) return std::nullopt;
    value = value * base + static_cast<unsigned>(d);
  }
  return value;
}

template <class Char>
std::optional<std::int64_t> Decimal(std::basic_string_view<Char> text, std::int64_t min, std::int64_t max) {
  const bool negative = !text.empty() && text.front() == Char('-');
  if (!text.empty() && (negative || text.front() == Char('+'))) text.remove_prefix(1);
  // The magnitude of min may exceed every int64, so it is reckoned unsigned.
  const std::uint64_t limit = negative ? (min >= 0 ? 0 : static_cast<std::uint64_t>(-(min + 1)) + 1)
                                       : (max < 0 ? 0 : static_cast<std::uint64_t>(max));
  const auto magnitude = Digits(text, 10, limit);
  if (!magnitude) return std::nullopt;
  const std::int64_t value =
      negative ? static_cast<std::int64_t>(0 - *magnitude) : static_cast<std::int64_t>(*magnitude);
  if (value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::uint64_t> ParseDigits(std::wstring_view digits, unsigned base, std::uint64_t limit) {
  return Digits(digits, base, limit);
}
std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base, std::uint64_t limit) {
  return Digits(digits, base, limit);
}
std::optional<std::int64_t> ParseDecimal(std::wstring_view text, std::int64_t min, std::int64_t max) {
  return Decimal(text, min, max);
}
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t min, std::int64_t max) {
  return Decimal(text, min, max);
}

std::wstring FormatHex(std::uint64_t value, int minDigits) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  for (; value != 0; value >>= 4) text.insert(text.begin(), kDigits[value & 15]);
  if (static_cast<int>(text.size()) < minDigits)
    text.insert(0, static_cast<std::size_t>(minDigits) - text.size(), L'0');
  return text;
}

}  // namespace nudgelet
