#include "base/Numbers.h"

#include <gtest/gtest.h>

namespace nudgelet {
namespace {

TEST(Numbers, DigitsAndDecimalsWithinTheirLimitsAndNothingElse) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(ParseDigits(L"0042", 10), 42u);
  EXPECT_EQ(ParseDigits(L"18446744073709551615", 10), kMax);
  EXPECT_EQ(ParseDigits(L"FFffFFff", 16, 0xFFFFFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(ParseDigits(std::string_view("7f"), 16), 0x7Fu);
  for (const wchar_t* bad : {L"18446744073709551616", L"1A", L"", L" 1", L"+1", L"\uFF11" /* full-width 1 */}) {
    EXPECT_EQ(ParseDigits(bad, 10), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseDigits(L"100000000", 16, 0xFFFFFFFF), std::nullopt);

  EXPECT_EQ(ParseDecimal(L"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(ParseDecimal(L"9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(ParseDecimal(L"-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
  EXPECT_EQ(ParseDecimal(L"+17", 0, 100), 17);
  EXPECT_EQ(ParseDecimal(L"-0", 0, 100), 0);
  for (const wchar_t* bad : {L"9223372036854775808", L"-", L"1 "}) EXPECT_EQ(ParseDecimal(bad), std::nullopt) << bad;
  EXPECT_EQ(ParseDecimal(L"-2147483649", INT32_MIN, INT32_MAX), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"-1", 0, 100), std::nullopt);
}

}  // namespace
}  // namespace nudgelet
