// The program's statistics client against the real UsageCounter.dll, loaded
// the way Nudgelet loads it: from the program folder, entry points by name.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/Statistics.h"
#include "base/Json.h"
#include "base/Paths.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/TextFile.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScratchFolder.h"
#include "usagecounter/UsageCounter.h"
#include "usagestats/CacheRules.h"

namespace nudgelet {
namespace {

using platform::win32::SystemPlatform;
using testing::LoopbackHttpServer;
using testing::ScratchFolder;

std::wstring ProgramFolder() { return ExtractFilePath(SystemPlatform().folders.ExecutablePath()); }

std::vector<std::wstring> CachedEvents(const std::wstring& cacheFile) {
  std::vector<std::wstring> events;
  for (const auto& line : usagestats::EventLines(testing::ReadFileBytes(cacheFile))) {
    events.push_back(ParseJsonObject(line)->strings["event"]);
  }
  return events;
}

TEST(StatisticsClient, RecordsTheTipEventsInOrderAndTheyReachTheServer) {
  app::TStatistics stats;
  ASSERT_TRUE(stats.LoadStatistics(SystemPlatform().libraries, ProgramFolder(), L"UsageCounter.dll"));
  EXPECT_EQ(stats.ResolvedEntryPoints(), 8);

  // The cache and the server belong to the test; the library is the one the
  // client loaded (the same module, found by name).
  HMODULE module = ::GetModuleHandleW(L"UsageCounter.dll");
  ASSERT_NE(module, nullptr);
  auto setCachePath =
      reinterpret_cast<UC_SetCachePathFn>(reinterpret_cast<void*>(::GetProcAddress(module, "SetCachePath")));
  auto post =
      reinterpret_cast<UC_PostLocalCacheFn>(reinterpret_cast<void*>(::GetProcAddress(module, "PostLocalCache")));
  ScratchFolder folder(L"stats-client");
  ASSERT_EQ(setCachePath(folder.Path().c_str()), UC_OK);
  LoopbackHttpServer server(LoopbackHttpServer::Reply::Ok);
  ASSERT_TRUE(server.Listening());

  stats.SetStatParam(app::kStatProduct, L"5.2.0.118", app::kStatCompany, server.Url(L"/usage_v2.php"));
  EXPECT_EQ(stats.DoStatistic(app::kStatProduct, L"b501", 7), 0);
  EXPECT_EQ(stats.DoStatistic(app::kStatProduct, L"a501", 0), 0);
  EXPECT_EQ(CachedEvents(folder.File(L"cache.jsonl")), (std::vector<std::wstring>{L"b501", L"a501"}));

  ASSERT_EQ(post(nullptr), UC_OK);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/usage_v2.php");
  const auto b = requests[0].body.find("\"b501\"");
  const auto a = requests[0].body.find("\"a501\"");
  EXPECT_NE(b, std::string::npos);
  EXPECT_NE(a, std::string::npos);
  EXPECT_LT(b, a);
  EXPECT_TRUE(CachedEvents(folder.File(L"cache.jsonl")).empty());
  setCachePath(nullptr);
}

TEST(StatisticsClient, WithoutTheLibraryEveryEventAnswersMinusOne) {
  app::TStatistics stats;
  ScratchFolder empty(L"stats-nolib");
  EXPECT_FALSE(stats.LoadStatistics(SystemPlatform().libraries, empty.Path(), L"UsageCounter.dll"));
  stats.SetStatParam(app::kStatProduct, L"1", app::kStatCompany, app::kStatUrl);
  EXPECT_EQ(stats.DoStatistic(app::kStatProduct, L"b501", 7), -1);
}

}  // namespace
}  // namespace nudgelet
