#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <optional>

namespace nudgelet {
namespace {

TEST(Numbers, DigitsWithinTheirLimitAndNothingElse) {
  struct Case {
    const wchar_t* text;
    unsigned base;
    std::uint64_t limit;
    std::optional<std::uint64_t> expected;
  };
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  const Case cases[] = {
      {L"0", 10, kMax, 0},
      {L"0042", 10, kMax, 42},
      {L"18446744073709551615", 10, kMax, kMax},
      {L"18446744073709551616", 10, kMax, std::nullopt},
      {L"FFffFFff", 16, 0xFFFFFFFF, 0xFFFFFFFF},
      {L"100000000", 16, 0xFFFFFFFF, std::nullopt},
      {L"2147483648", 10, 2147483647, std::nullopt},
      {L"1A", 10, kMax, std::nullopt},
      {L"", 10, kMax, std::nullopt},
      {L" 1", 10, kMax, std::nullopt},
      {L"+1", 10, kMax, std::nullopt},
      {L"\uFF11", 10, kMax, std::nullopt},  // a full-width digit is no digit
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDigits(std::wstring_view(c.text), c.base, c.limit), c.expected) << c.text;
  EXPECT_EQ(ParseDigits(std::string_view("7f"), 16), 0x7Fu);
}

TEST(Numbers, SignedDecimalsReachBothEndsOfTheirRange) {
  EXPECT_EQ(ParseDecimal(L"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(ParseDecimal(L"9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(ParseDecimal(L"9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
  EXPECT_EQ(ParseDecimal(L"-2147483649", INT32_MIN, INT32_MAX), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"+17", 0, 100), 17);
  EXPECT_EQ(ParseDecimal(L"-1", 0, 100), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"-0", 0, 100), 0);
  EXPECT_EQ(ParseDecimal(L"-"), std::nullopt);
  EXPECT_EQ(ParseDecimal(std::string_view("-12")), -12);
}

}  // namespace
}  // namespace nudgelet
