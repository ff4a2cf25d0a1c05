// JSON writing and reading of the usage-statistics cache, and the event line.
#include <gtest/gtest.h>

#include "base/Strings.h"
#include "usagestats/Json.h"
#include "usagestats/PostBody.h"
#include "usagestats/StatEvent.h"

namespace nudgelet::usagestats {
namespace {

const std::wstring kEmoji = Utf8ToWide("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair on Windows

TEST(UsageStatsJson, EscapesWhatJsonRequiresAndWritesUtf8) {
  EXPECT_EQ(JsonString(L"plain"), "\"plain\"");
  EXPECT_EQ(JsonString(L"a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonString(L"\n\r\t\b\f"), "\"\\n\\r\\t\\b\\f\"");
  EXPECT_EQ(JsonString(std::wstring(L"x\x01y\x1fz", 5)), "\"x\\u0001y\\u001fz\"");
  EXPECT_EQ(JsonString(std::wstring(1, L'\0')), "\"\\u0000\"");
  EXPECT_EQ(JsonString(L"\u00e9\u4e2d" + kEmoji), "\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"");
}

TEST(UsageStatsJson, UnpairedSurrogateStillGivesValidJson) {
  // A lone surrogate unit on Windows, a surrogate code point natively: never valid text.
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  const std::string json = JsonString(L"a" + lone + L"b");
  EXPECT_EQ(json, "\"a\xEF\xBF\xBD" "b\"");
  EXPECT_TRUE(ParseJsonObject("{\"k\":" + json + "}"));
}

TEST(UsageStatsJson, TextSurvivesTheRoundTrip) {
  const std::wstring nasty = L"quote\" back\\ nl\n tab\t ctl\x02 \u00fc\u0416" + kEmoji;
  auto fields = ParseJsonObject("{\"k\":" + JsonString(nasty) + "}");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.at("k"), nasty);
}

TEST(UsageStatsJson, ReadsEscapesIncludingSurrogatePairs) {
  auto fields = ParseJsonObject(R"({"a":"\u00e9\/\"","b":"\ud83d\ude00","c":"\ud83dx","d":"\ude00\u0041"})");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.at("a"), L"\u00e9/\"");
  EXPECT_EQ(fields->strings.at("b"), kEmoji);
  EXPECT_EQ(fields->strings.at("c"), L"\uFFFDx");
  EXPECT_EQ(fields->strings.at("d"), L"\uFFFDA");
}

TEST(UsageStatsJson, KeepsStringsAndIntegersAndSkipsOtherMembers) {
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

TEST(UsageStatsJson, RefusesAnythingButOneCompleteObject) {
  for (const char* bad : {"", "[]", "\"s\"", "{", "{\"a\":1", "{\"a\":\"x}", "{\"a\":1,}", "{\"a\" 1}", "{a:1}",
                          "{\"a\":01}", "{\"a\":1.}", "{\"a\":-}", "{\"a\":tru}", "{\"a\":\"\\x\"}",
                          "{\"a\":\"\\u12\"}", "{\"a\":1}{}", "{\"a\":1} x", "{\"a\":[1,]}", "{\"a\":\"\t\"}"}) {
    EXPECT_FALSE(ParseJsonObject(bad)) << bad;
  }
  EXPECT_TRUE(ParseJsonObject("{}"));
  // Nesting is bounded: a hostile line cannot exhaust the stack.
  EXPECT_FALSE(ParseJsonObject("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}"));
}

TEST(UsageStatsEvent, LineCarriesEveryFieldAndEndsTheLine) {
  StatEvent e;
  e.id = L"00ff";
  e.time = {2024, 5, 1, 2, 3, 4, 56};
  e.product = L"ph1";
  e.version = L"1.2.\"0\"";
  e.event = L"b501";
  e.number = 7;
  e.a = -1;
  e.b = INT32_MAX;
  e.c = INT32_MIN;
  const std::string line = FormatEventLine(e);
  ASSERT_EQ(line.back(), '\n');
  EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line, whatever the texts hold
  auto fields = ParseJsonObject(line);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->strings.at("id"), L"00ff");
  EXPECT_EQ(fields->strings.at("time"), L"2024-05-01T02:03:04.056Z");
  EXPECT_EQ(fields->strings.at("product"), L"ph1");
  EXPECT_EQ(fields->strings.at("version"), L"1.2.\"0\"");
  EXPECT_EQ(fields->strings.at("event"), L"b501");
  EXPECT_EQ(fields->integers.at("number"), 7);
  EXPECT_EQ(fields->integers.at("a"), -1);
  EXPECT_EQ(fields->integers.at("b"), INT32_MAX);
  EXPECT_EQ(fields->integers.at("c"), INT32_MIN);

  e.event = L"multi\nline\r\nevent";
  const std::string escaped = FormatEventLine(e);
  EXPECT_EQ(escaped.find('\n'), escaped.size() - 1);
  EXPECT_EQ(ReadEventLine(escaped.substr(0, escaped.size() - 1))->event, e.event);
}

TEST(UsageStatsEvent, OnlyCompleteEventsAreRead) {
  EXPECT_TRUE(ReadEventLine(R"({"product":"ph1","event":"a501"})"));
  EXPECT_TRUE(ReadEventLine(R"({"product":"ph1","event":"a501","later":{"x":[1.5]}})"));
  EXPECT_FALSE(ReadEventLine(R"({"product":"ph1"})"));
  EXPECT_FALSE(ReadEventLine(R"({"product":"","event":"a501"})"));
  EXPECT_FALSE(ReadEventLine(R"({"product":1,"event":"a501"})"));
  EXPECT_FALSE(ReadEventLine(R"({"product":"ph1","event":"a5)"));
}

TEST(UsageStatsPostBody, WrapsTheCachedLinesUnchanged) {
  const std::vector<std::string> lines = {R"({"product":"ph1","event":"b501"})",
                                          R"({"product":"ph1","event":"a501"})"};
  const std::string body = BuildPostBody({L"ph1", L"1.0", L"Cor\"vane"}, {2024, 12, 31, 23, 59, 59, 999}, lines);
  EXPECT_EQ(body,
            R"({"client":{"product":"ph1","version":"1.0","company":"Cor\"vane"},"sent":"2024-12-31T23:59:59.999Z",)"
            R"("events":[{"product":"ph1","event":"b501"},{"product":"ph1","event":"a501"}]})");
  EXPECT_TRUE(ParseJsonObject(body));
  EXPECT_TRUE(ParseJsonObject(BuildPostBody({}, {}, {})));
}

}  // namespace
}  // namespace nudgelet::usagestats
