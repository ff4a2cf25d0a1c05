// The rules of the usage-statistics library: event lines, the post body, the
// cache file (which lines count, trimming, what a post removes) and its names.
#include <gtest/gtest.h>

#include "base/Json.h"
#include "base/Strings.h"
#include "usagestats/CachePath.h"
#include "usagestats/CacheRules.h"
#include "usagestats/PostBody.h"
#include "usagestats/StatEvent.h"

namespace nudgelet::usagestats {
namespace {

std::string Line(const std::string& product, const std::string& event) {
  return "{\"product\":\"" + product + "\",\"event\":\"" + event + "\"}";
}

TEST(UsageStatsCache, TornTailAndDamagedLinesDoNotCount) {
  const std::string a = Line("ph1", "b501");
  const std::string b = Line("ph1", "a501");
  EXPECT_EQ(EventLines(a + "\n" + b + "\n"), (std::vector<std::string>{a, b}));
  // A crash in the middle of an append leaves a tail without line feed.
  EXPECT_EQ(EventLines(a + "\n" + b.substr(0, 10)), std::vector<std::string>{a});
  // A complete-looking tail without line feed is still an unfinished append.
  EXPECT_EQ(EventLines(a + "\n" + b), std::vector<std::string>{a});
  // A writer that found a torn tail starts its line on a fresh line; the
  // fragment stays behind as a line of its own and is skipped.
  EXPECT_EQ(EventLines(a + "\n" + b.substr(0, 10) + "\n" + b + "\n"), (std::vector<std::string>{a, b}));
  EXPECT_EQ(EventLines(a + "\r\n\n   \n{}\n\xFF\xFE\n" + b + "\n"), (std::vector<std::string>{a, b}));
  EXPECT_TRUE(EventLines("").empty());
}

TEST(UsageStatsCache, WindowOnTheEndSkipsItsFirstPartialLine) {
  const std::string a = Line("ph1", "one");
  const std::string b = Line("ph1", "two");
  const std::string file = a + "\n" + b + "\n";
  EXPECT_EQ(EventLines(std::string_view(file).substr(5), true), std::vector<std::string>{b});
  // The window starts with the line feed before b: b is whole and kept.
  EXPECT_EQ(EventLines(std::string_view(file).substr(a.size()), true), std::vector<std::string>{b});
  EXPECT_TRUE(EventLines("no line feed at all", true).empty());
}

TEST(UsageStatsCache, KeepNewestDropsTheOldestWithinTheBudget) {
  const std::vector<std::string> lines = {"aaaa", "bbbb", "cccc"};  // 5 bytes each with the line feed
  EXPECT_EQ(KeepNewest(lines, 15), lines);
  EXPECT_EQ(KeepNewest(lines, 14), (std::vector<std::string>{"bbbb", "cccc"}));
  EXPECT_EQ(KeepNewest(lines, 10), (std::vector<std::string>{"bbbb", "cccc"}));
  EXPECT_EQ(KeepNewest(lines, 4), std::vector<std::string>{});
  // Never a gap: an old short line does not survive behind a dropped long one.
  EXPECT_EQ(KeepNewest({"a", std::string(20, 'x'), "b"}, 10), std::vector<std::string>{"b"});
  EXPECT_EQ(JoinCacheLines({"x", "y"}), "x\ny\n");
  EXPECT_EQ(JoinCacheLines({}), "");
}

TEST(UsageStatsCache, WithoutSentRemovesExactlyWhatWasSent) {
  // Sent: a, b. Meanwhile c was appended.
  EXPECT_EQ(WithoutSent({"a", "b", "c"}, {"a", "b"}), std::vector<std::string>{"c"});
  // Another writer trimmed a away meanwhile: nothing else is taken instead.
  EXPECT_EQ(WithoutSent({"b", "c"}, {"a", "b"}), std::vector<std::string>{"c"});
  // Equal lines count one by one.
  EXPECT_EQ(WithoutSent({"x", "x", "x"}, {"x", "x"}), std::vector<std::string>{"x"});
  EXPECT_EQ(WithoutSent({"a"}, {}), std::vector<std::string>{"a"});
}

TEST(UsageStatsCache, SelectsByProductIgnoringCase) {
  const std::string p1 = Line("ph1", "b501");
  const std::string p2 = Line("other", "x");
  const std::string p1Upper = Line("PH1", "a501");
  const std::vector<std::string> lines = {p1, p2, p1Upper};
  EXPECT_EQ(SelectProduct(lines, L"ph1"), (std::vector<std::string>{p1, p1Upper}));
  EXPECT_EQ(SelectProduct(lines, L"ph1", false), std::vector<std::string>{p2});
  EXPECT_EQ(SelectProduct(lines, L""), lines);
  EXPECT_TRUE(SelectProduct(lines, L"none").empty());
}

TEST(UsageStatsCachePath, AcceptsOnlyAbsoluteFolders) {
  EXPECT_EQ(NormalizeCacheFolder(L"C:\\Data\\Stat\\\\"), L"C:\\Data\\Stat");
  EXPECT_EQ(NormalizeCacheFolder(L"d:/data/stat/"), L"d:\\data\\stat");
  EXPECT_EQ(NormalizeCacheFolder(L"C:\\"), L"C:\\");
  EXPECT_EQ(NormalizeCacheFolder(L"\\\\server\\share\\stat"), L"\\\\server\\share\\stat");
  for (const wchar_t* bad : {L"", L"stat", L"C:", L"C:stat", L"\\stat", L"\\\\\\x", L"1:\\x"}) {
    EXPECT_FALSE(NormalizeCacheFolder(bad)) << WideToUtf8(bad);
  }
  EXPECT_EQ(CacheFileIn(L"C:\\Data"), L"C:\\Data\\cache.jsonl");
  EXPECT_EQ(CacheFileIn(L"C:\\"), L"C:\\cache.jsonl");
}

TEST(UsageStatsCachePath, LockNameFollowsTheFileNotItsSpelling) {
  const std::wstring name = CacheLockName(L"C:\\Users\\Ann\\cache.jsonl");
  EXPECT_EQ(name, CacheLockName(L"c:\\users\\ANN\\Cache.JSONL"));
  EXPECT_NE(name, CacheLockName(L"C:\\Users\\Bob\\cache.jsonl"));
  // Named-object names may hold no backslash after the namespace prefix.
  EXPECT_EQ(name.rfind(L'\\'), std::wstring(L"Local\\").size() - 1);
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
  EXPECT_EQ(FormatEventLine(e),
            R"({"id":"00ff","time":"2024-05-01T02:03:04.056Z","product":"ph1","version":"1.2.\"0\"","event":"b501",)"
            R"("number":7,"a":-1,"b":2147483647,"c":-2147483648})"
            "\n");
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
  const std::vector<std::string> lines = {R"({"product":"ph1","event":"b501"})", R"({"product":"ph1","event":"a501"})"};
  const std::string body = BuildPostBody({L"ph1", L"1.0", L"Cor\"vane"}, {2024, 12, 31, 23, 59, 59, 999}, lines);
  EXPECT_EQ(body,
            R"({"client":{"product":"ph1","version":"1.0","company":"Cor\"vane"},"sent":"2024-12-31T23:59:59.999Z",)"
            R"("events":[{"product":"ph1","event":"b501"},{"product":"ph1","event":"a501"}]})");
  EXPECT_TRUE(ParseJsonObject(body));
  EXPECT_TRUE(ParseJsonObject(BuildPostBody({}, {}, {})));
}

}  // namespace
}  // namespace nudgelet::usagestats
