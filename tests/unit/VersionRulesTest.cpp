#include <gtest/gtest.h>

#include "detection/VersionRules.h"

namespace nudgelet::detection {
namespace {

TEST(VersionRules, IsNewerComparesPartsAsIntegers) {
  EXPECT_TRUE(IsNewer(L"10.0.1", L"9.9"));
  EXPECT_FALSE(IsNewer(L"1.0", L"1"));
  EXPECT_FALSE(IsNewer(L"1", L"1.0"));
  EXPECT_TRUE(IsNewer(L"5.0", L"Unknown"));
  EXPECT_TRUE(IsNewer(L"0.1", L"-"));
  EXPECT_FALSE(IsNewer(L"0", L"-"));
  EXPECT_FALSE(IsNewer(L"2b.1", L"0.1"));  // 2b is no number: 0
  EXPECT_FALSE(IsNewer(L"", L""));
  EXPECT_TRUE(IsNewer(L"1.10", L"1.9"));
  EXPECT_TRUE(IsNewer(L"2023.1.20231231120000", L"2023.1.9"));  // long build numbers still count
  EXPECT_TRUE(IsNewer(L"1.0", L"1.-1"));
}

TEST(VersionRules, IsAtLeastIgnoresTrailingZeros) {
  EXPECT_TRUE(IsAtLeast(L"3.3", L"3.3.0"));
  EXPECT_FALSE(IsAtLeast(L"3.3", L"3.03"));  // equal values but different texts: not "at least"
  EXPECT_FALSE(IsAtLeast(L"3.3", L"3.4"));
  EXPECT_TRUE(IsAtLeast(L"3.3", L"3.2.9"));
  EXPECT_TRUE(IsAtLeast(L"3.3.0.0", L"3.3"));
  EXPECT_TRUE(IsAtLeast(L"0", L""));
  // Blanks around a part are read through, as IsNewer does.
  EXPECT_TRUE(IsAtLeast(L"3.3", L"3.3 "));
  EXPECT_TRUE(IsAtLeast(L"3.3 ", L" 3.3"));
  EXPECT_FALSE(IsAtLeast(L"3.3", L"3.3.1 "));
}

TEST(VersionRules, TruncateVersionKeepsLeadingParts) {
  EXPECT_EQ(TruncateVersion(L"5.2.1.7", 2), L"5.2");
  EXPECT_EQ(TruncateVersion(L" 5.2 ", 3), L"5.2");
  EXPECT_EQ(TruncateVersion(L"5", 1), L"");
  EXPECT_EQ(TruncateVersion(L"5.2.1.7", 4), L"5.2.1.7");
  EXPECT_EQ(TruncateVersion(L"5.2.1.7.9", 4), L"5.2.1.7");
  EXPECT_EQ(TruncateVersion(L"5.2", 0), L"");
  EXPECT_EQ(TruncateVersion(L"5.2", 5), L"");
}

TEST(VersionRules, ExtractVersionNumberFindsTheFirstRealRun) {
  EXPECT_EQ(ExtractVersionNumber(L"Version 10.2 (build 7)", true), L"10.2");
  EXPECT_EQ(ExtractVersionNumber(L"Release 1 2.5.1", true), L"2.5.1");
  EXPECT_EQ(ExtractVersionNumber(L"v7", true), L"7");  // a short run at the end counts
  EXPECT_EQ(ExtractVersionNumber(L"2021-05-03", true), L"2021-05-03");
  EXPECT_EQ(ExtractVersionNumber(L"2021-05-03", false), L"2021");
  EXPECT_EQ(ExtractVersionNumber(L"1.2.3.", true), L"1.2.3");
  EXPECT_EQ(ExtractVersionNumber(L"4.5-", true), L"4.5");
  EXPECT_EQ(ExtractVersionNumber(L"no digits", true), L"");
  EXPECT_EQ(ExtractVersionNumber(L"", true), L"");
}

}  // namespace
}  // namespace nudgelet::detection
