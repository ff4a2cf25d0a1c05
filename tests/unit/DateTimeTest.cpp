#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace nudgelet {
namespace {

TEST(DateTime, EncodeDecodeAndSettingsFormat) {
  const auto epoch = EncodeDateTime({1899, 12, 30, 0, 0, 0, 0});
  ASSERT_TRUE(epoch);
  EXPECT_EQ(*epoch, 0.0);
  EXPECT_EQ(*EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
  EXPECT_FALSE(EncodeDateTime({2023, 2, 29, 0, 0, 0, 0}));
  EXPECT_TRUE(EncodeDateTime({2024, 2, 29, 23, 59, 59, 999}));
  const DateTimeParts p = DecodeDateTime(*EncodeDateTime({2026, 12, 4, 14, 3, 7, 123}));
  EXPECT_EQ(FormatIsoDate(p), L"2026-12-04");
  EXPECT_EQ(FormatTimeOfDay(p), L"14:03:07:123");
  EXPECT_EQ(FormatSettingsDateTime(*ParseSettingsDateTime(L"02/29/2024 23:59:59:999")), L"02/29/2024 23:59:59:999");
  EXPECT_EQ(FormatSettingsDateTime(*ParseSettingsDateTime(L"12/04/2026")), L"12/04/2026 00:00:00:000");
  EXPECT_FALSE(ParseSettingsDateTime(L"2026-12-04"));
  EXPECT_FALSE(ParseSettingsDateTime(L"12/04/2026 25:00"));
  EXPECT_FALSE(ParseSettingsDateTime(L""));
}

}  // namespace
}  // namespace nudgelet
