// JSON writing and reading: escapes, surrogates, and what the reader refuses.
#include <gtest/gtest.h>

#include "base/Json.h"
#include "base/Strings.h"

namespace nudgelet {
namespace {

const std::wstring kEmoji = Utf8ToWide("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair on Windows

TEST(Json, EscapesWhatJsonRequiresAndWritesUtf8) {
  EXPECT_EQ(JsonString(L"plain"), "\"plain\"");
  EXPECT_EQ(JsonString(L"a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonString(L"\n\r\t\b\f"), "\"\\n\\r\\t\\b\\f\"");
  EXPECT_EQ(JsonString(std::wstring(L"x\x01y\x1fz", 5)), "\"x\\u0001y\\u001fz\"");
  EXPECT_EQ(JsonString(std::wstring(1, L'\0')), "\"\\u0000\"");
  EXPECT_EQ(JsonString(L"\u00e9\u4e2d" + kEmoji), "\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"");
}

TEST(Json, UnpairedSurrogateStillGivesValidJson) {
  // A lone surrogate unit on Windows, a surrogate code point natively: never valid text.
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  const std::string json = JsonString(L"a" + lone + L"b");
  EXPECT_EQ(json,
            "\"a\xEF\xBF\xBD"
            "b\"");
  EXPECT_TRUE(ParseJsonObject("{\"k\":" + json + "}"));
}

TEST(Json, TextSurvivesTheRoundTrip) {
  const std::wstring nasty = L"quote\" back\\ nl\n tab\t ctl\x02 \u00fc\u0416" + kEmoji;
  auto fields = ParseJsonObject("{\"k\":" + JsonString(nasty) + "}");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.at("k"), nasty);
}

TEST(Json, ReadsEscapesIncludingSurrogatePairs) {
  auto fields = ParseJsonObject(R"({"a":"\u00e9\/\"","b":"\ud83d\ude00","c":"\ud83dx","d":"\ude00\u0041"})");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.at("a"), L"\u00e9/\"");
  EXPECT_EQ(fields->strings.at("b"), kEmoji);
  EXPECT_EQ(fields->strings.at("c"), L"\uFFFDx");
  EXPECT_EQ(fields->strings.at("d"), L"\uFFFDA");
}

TEST(Json, KeepsStringsAndIntegersAndSkipsOtherMembers) {
  auto fields = ParseJsonObject(
      R"( {"s":"x","n":-42,"big":9223372036854775807,"min":-9223372036854775808,"over":9223372036854775808,)"
      R"("f":1.5,"e":2e3,"t":true,"z":null,"o":{"in":"ner","deep":[1,{"x":[]}]},"arr":[],"last":"y"} )");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.size(), 2u);
  EXPECT_EQ(fields->strings.at("last"), L"y");
  EXPECT_FALSE(fields->strings.count("in"));  // nested members are not top-level fields
  EXPECT_EQ(fields->integers.at("n"), -42);
  EXPECT_EQ(fields->integers.at("big"), INT64_MAX);
  EXPECT_EQ(fields->integers.at("min"), INT64_MIN);
  EXPECT_FALSE(fields->integers.count("over"));
  EXPECT_FALSE(fields->integers.count("f"));
  EXPECT_FALSE(fields->integers.count("e"));
}

TEST(Json, RefusesAnythingButOneCompleteObject) {
  for (const char* bad : {"", "[]", "\"s\"", "{", "{\"a\":1", "{\"a\":\"x}", "{\"a\":1,}", "{\"a\" 1}", "{a:1}",
                          "{\"a\":01}", "{\"a\":1.}", "{\"a\":-}", "{\"a\":tru}", "{\"a\":\"\\x\"}",
                          "{\"a\":\"\\u12\"}", "{\"a\":1}{}", "{\"a\":1} x", "{\"a\":[1,]}", "{\"a\":\"\t\"}"}) {
    EXPECT_FALSE(ParseJsonObject(bad)) << bad;
  }
  EXPECT_TRUE(ParseJsonObject("{}"));
  // Nesting is bounded: a hostile line cannot exhaust the stack.
  EXPECT_FALSE(ParseJsonObject("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}"));
}

}  // namespace
}  // namespace nudgelet
