#include "base/Strings.h"
#include "base/TextEncoding.h"

#include <gtest/gtest.h>

namespace nudgelet {
namespace {

TEST(Strings, Utf8RoundTripKeepsEveryPlane) {
  const std::wstring text = L"A\u00e9\u4e2d\u0416" + Utf8ToWide("\xF0\x9F\x98\x80");  // ends with U+1F600
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(WideToUtf8(text), "A\xC3\xA9\xE4\xB8\xAD\xD0\x96\xF0\x9F\x98\x80");
}

TEST(Strings, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xC3"), L"a\uFFFD");                    // cut sequence
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");            // over-long form
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_FALSE(IsValidUtf8("\xFF"));
  EXPECT_TRUE(IsValidUtf8("plain \xE4\xB8\xAD"));
}

TEST(Strings, Utf16LeRoundTripAndOddByte) {
  const std::wstring text = L"x\u00fc" + Utf8ToWide("\xF0\x9F\x98\x80");
  auto bytes = WideToUtf16Le(text);
  ASSERT_EQ(bytes.size(), 8u);  // the emoji is a surrogate pair
  EXPECT_EQ(Utf16LeToWide(bytes.data(), bytes.size()), text);
  bytes.push_back(0x41);  // a dangling byte is ignored
  EXPECT_EQ(Utf16LeToWide(bytes.data(), bytes.size()), text);
}

TEST(Strings, CaseRulesCoverTheScriptsOfProgramNames) {
  EXPECT_TRUE(EqualsIgnoreCase(L"PatchwellHub.EXE", L"patchwellhub.exe"));
  EXPECT_TRUE(EqualsIgnoreCase(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
  EXPECT_TRUE(EqualsIgnoreCase(L"\u0436\u0451", L"\u0416\u0401"));  // Cyrillic
  EXPECT_TRUE(EqualsIgnoreCase(L"\u0142\u017c", L"\u0141\u017b"));  // Polish letters
  EXPECT_FALSE(EqualsIgnoreCase(L"\u00d7", L"\u00f7"));             // signs, not letters
  EXPECT_FALSE(EqualsIgnoreCase(L"abc", L"abcd"));
  EXPECT_EQ(ToLower(L"ABC\u00c0"), L"abc\u00e0");
  EXPECT_TRUE(ContainsIgnoreCase(L"Some Toolbar Thing", L"TOOLBAR"));
  EXPECT_TRUE(LessIgnoreCase{}(L"apple", L"BANANA"));
  EXPECT_FALSE(LessIgnoreCase{}(L"APPLE", L"apple"));
}

TEST(Strings, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(L" \t key = value \r\n"), L"key = value");
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(Trim(L""), L"");
}

TEST(TextEncoding, DecodesByByteOrderMark) {
  EXPECT_EQ(DecodeText({0xFF, 0xFE, 'h', 0, 'i', 0}).text, L"hi");
  EXPECT_EQ(DecodeText({0xFF, 0xFE, 'h', 0, 'i', 0}).encoding, TextEncoding::Utf16Le);
  EXPECT_EQ(DecodeText({0xFE, 0xFF, 0, 'h', 0, 'i'}).text, L"hi");
  EXPECT_EQ(DecodeText({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}).text, L"\u00e9");
  EXPECT_EQ(DecodeText({0xC3, 0xA9}).text, L"\u00e9");  // valid UTF-8 without mark
  EXPECT_EQ(DecodeText({0xE9}).text, L"\u00e9");        // otherwise one byte a character
  EXPECT_EQ(DecodeText({}).text, L"");
}

TEST(TextEncoding, SplitLinesHandlesEveryLineBreak) {
  EXPECT_EQ(SplitLines(L"a\r\nb\nc\rd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitLines(L"a\r\n\r\nb\r\n"), (std::vector<std::wstring>{L"a", L"", L"b"}));
  EXPECT_TRUE(SplitLines(L"").empty());
}

TEST(Strings, ReplaceAllIgnoreCaseKeepsTheRestOfTheText) {
  EXPECT_EQ(ReplaceAllIgnoreCase(L"aXbxc", L"x", L"--"), L"a--b--c");
  EXPECT_EQ(ReplaceAllIgnoreCase(L"abc", L"", L"-"), L"abc");
  EXPECT_EQ(ReplaceAllIgnoreCase(L"%a%%A%", L"%a%", L"%a%"), L"%a%%a%");
}

}  // namespace
}  // namespace nudgelet
