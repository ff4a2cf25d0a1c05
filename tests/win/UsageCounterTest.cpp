// UsageCounter.dll as programs use it: loaded from the program folder at run
// time, functions looked up by name. Posting goes only to a server of the test
// on 127.0.0.1.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "base/Json.h"
#include "base/Strings.h"
#include "platform/win32/Handles.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScratchFolder.h"
#include "usagecounter/UsageCounter.h"
#include "usagestats/CacheRules.h"
#include "usagestats/StatEvent.h"

namespace nudgelet {
namespace {

using testing::LoopbackHttpServer;
using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

struct Api {
  UC_SetStatParamFn SetStatParam = nullptr;
  UC_SetCachePathFn SetCachePath = nullptr;
  UC_DoStatisticFn DoStatistic = nullptr;
  UC_DoInstallStatisticFn DoInstallStatistic = nullptr;
  UC_DoUninstallStatisticFn DoUninstallStatistic = nullptr;
  UC_PostLocalCacheFn PostLocalCache = nullptr;
  UC_ClearCacheByAppFn ClearCacheByApp = nullptr;
  UC_HttpPostContentFn HttpPostContent = nullptr;
};

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  return fn != nullptr;
}

// Loaded once and kept, as the program keeps it until the process ends.
const Api* LoadApi() {
  static const Api* api = [] {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder = exe;
    folder.resize(folder.find_last_of(L'\\') + 1);
    HMODULE module = ::LoadLibraryW((folder + L"UsageCounter.dll").c_str());
    if (!module) return static_cast<Api*>(nullptr);
    // Callers look every function up by name: a library missing any is unusable.
    auto* a = new Api;
    const bool complete = Resolve(module, "SetStatParam", a->SetStatParam) &&
                          Resolve(module, "SetCachePath", a->SetCachePath) &&
                          Resolve(module, "DoStatistic", a->DoStatistic) &&
                          Resolve(module, "DoInstallStatistic", a->DoInstallStatistic) &&
                          Resolve(module, "DoUninstallStatistic", a->DoUninstallStatistic) &&
                          Resolve(module, "PostLocalCache", a->PostLocalCache) &&
                          Resolve(module, "ClearCacheByApp", a->ClearCacheByApp) &&
                          Resolve(module, "HttpPostContent", a->HttpPostContent);
    return complete ? static_cast<Api*>(a) : nullptr;
  }();
  return api;
}

struct Cached {
  std::wstring product;
  std::wstring event;
  std::wstring version;
  std::wstring id;
  std::wstring time;
  std::int64_t number = 0;
};

class UsageCounterDll : public ::testing::Test {
 protected:
  void SetUp() override {
    api_ = LoadApi();
    ASSERT_NE(api_, nullptr) << "UsageCounter.dll did not load or lacks an export";
    ASSERT_EQ(api_->SetCachePath(folder_.Path().c_str()), UC_OK);
    ASSERT_EQ(api_->SetStatParam(L"ph1", L"1.2.0", L"corvane", nullptr), UC_OK);
  }
  void TearDown() override {
    if (api_) api_->SetCachePath(nullptr);
  }

  std::wstring CacheFile() const { return folder_.File(L"cache.jsonl"); }

  std::vector<Cached> Events() const {
    std::vector<Cached> events;
    for (const auto& line : usagestats::EventLines(ReadFileBytes(CacheFile()))) {
      auto fields = ParseJsonObject(line);
      Cached c;
      c.product = fields->strings["product"];
      c.event = fields->strings["event"];
      c.version = fields->strings["version"];
      c.id = fields->strings["id"];
      c.time = fields->strings["time"];
      c.number = fields->integers["number"];
      events.push_back(c);
    }
    return events;
  }

  std::vector<std::wstring> EventCodes() const {
    std::vector<std::wstring> codes;
    for (const auto& e : Events()) codes.push_back(e.event);
    return codes;
  }

  void UseServer(const LoopbackHttpServer& server) {
    ASSERT_TRUE(server.Listening());
    ASSERT_EQ(api_->SetStatParam(L"ph1", L"1.2.0", L"corvane", server.Url(L"/stat/usage_v2.php").c_str()), UC_OK);
  }

  const Api* api_ = nullptr;
  ScratchFolder folder_{L"uc"};
};

using Codes = std::vector<std::wstring>;

TEST_F(UsageCounterDll, RecordsEventsInOrderWithTheirFields) {
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoInstallStatistic(L"ph1", nullptr), UC_OK);
  ASSERT_EQ(api_->DoUninstallStatistic(L"ph1", L"2.0"), UC_OK);

  const auto events = Events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(EventCodes(), (Codes{L"b501", L"a501", L"install", L"uninstall"}));
  EXPECT_EQ(events[0].number, 7);
  EXPECT_EQ(events[1].number, 0);
  EXPECT_EQ(events[0].product, L"ph1");
  EXPECT_EQ(events[0].version, L"1.2.0");
  EXPECT_EQ(events[2].version, L"1.2.0");
  EXPECT_EQ(events[3].version, L"2.0");
  EXPECT_EQ(events[0].time.size(), 24u);
  EXPECT_EQ(events[0].time.back(), L'Z');
  EXPECT_EQ(events[0].id.size(), 32u);
  EXPECT_NE(events[0].id, events[1].id);
  // Nothing but the cache: no temporary file is left beside it.
  EXPECT_EQ(::GetFileAttributesW((CacheFile() + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UsageCounterDll, RefusesUnusableArguments) {
  EXPECT_EQ(api_->DoStatistic(nullptr, L"a501", 0, 0, 0, 0), UC_E_INVALIDARG);
  EXPECT_EQ(api_->DoStatistic(L"ph1", L"", 0, 0, 0, 0), UC_E_INVALIDARG);
  EXPECT_EQ(api_->DoStatistic(L"ph1", std::wstring(5000, L'x').c_str(), 0, 0, 0, 0), UC_E_INVALIDARG);
  EXPECT_EQ(api_->DoInstallStatistic(nullptr, nullptr), UC_E_INVALIDARG);
  EXPECT_EQ(api_->ClearCacheByApp(L""), UC_E_INVALIDARG);
  EXPECT_EQ(api_->SetCachePath(L"relative\\folder"), UC_E_INVALIDARG);
  EXPECT_EQ(api_->PostLocalCache(nullptr), UC_E_NOURL);
  EXPECT_EQ(api_->HttpPostContent(nullptr, L"x"), UC_E_NOURL);
  EXPECT_EQ(api_->HttpPostContent(L"ftp://127.0.0.1/x", L"x"), UC_E_INVALIDARG);
  EXPECT_EQ(api_->HttpPostContent(L"http://127.0.0.1/x", nullptr), UC_E_INVALIDARG);
  EXPECT_EQ(::GetFileAttributesW(CacheFile().c_str()), INVALID_FILE_ATTRIBUTES);

  // The refused path left the cache where it was.
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);
  EXPECT_EQ(EventCodes(), Codes{L"a501"});
}

TEST_F(UsageCounterDll, AppendAfterATornLineKeepsBothSides) {
  usagestats::StatEvent earlier;
  earlier.product = L"ph1";
  earlier.event = L"earlier";
  const std::string line = usagestats::FormatEventLine(earlier);
  // A writer that died in the middle of its line.
  ASSERT_TRUE(WriteFileBytes(CacheFile(), line + line.substr(0, 25)));
  EXPECT_EQ(EventCodes(), Codes{L"earlier"});

  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);
  EXPECT_EQ(EventCodes(), (Codes{L"earlier", L"a501"}));
  EXPECT_EQ(ReadFileBytes(CacheFile()).find(line.substr(0, 25) + "\n{"), line.size());

  // The next rewrite drops the fragment for good.
  ASSERT_EQ(api_->ClearCacheByApp(L"nobody"), UC_OK);
  EXPECT_EQ(ReadFileBytes(CacheFile()), usagestats::JoinCacheLines(usagestats::EventLines(ReadFileBytes(CacheFile()))));
  EXPECT_EQ(EventCodes(), (Codes{L"earlier", L"a501"}));
}

TEST_F(UsageCounterDll, PostSendsTheCacheAndEmptiesIt) {
  LoopbackHttpServer server(LoopbackHttpServer::Reply::Ok);
  UseServer(server);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);

  ASSERT_EQ(api_->PostLocalCache(nullptr), UC_OK);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/stat/usage_v2.php");
  EXPECT_NE(requests[0].headers.find("application/json"), std::string::npos) << requests[0].headers;
  auto body = ParseJsonObject(requests[0].body);
  ASSERT_TRUE(body) << requests[0].body;
  const auto b501 = requests[0].body.find("\"b501\"");
  const auto a501 = requests[0].body.find("\"a501\"");
  ASSERT_NE(b501, std::string::npos);
  ASSERT_NE(a501, std::string::npos);
  EXPECT_LT(b501, a501);
  EXPECT_NE(requests[0].body.find("\"company\":\"corvane\""), std::string::npos);
  EXPECT_TRUE(Events().empty());

  // Nothing left: no request at all.
  EXPECT_EQ(api_->PostLocalCache(nullptr), UC_OK);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UsageCounterDll, EventsRecordedDuringAPostStayAndASecondPostWaitsItsTurn) {
  int concurrentPost = 0;
  LoopbackHttpServer server(LoopbackHttpServer::Reply::Ok, [&] {
    // Runs while the post waits for its answer.
    api_->DoStatistic(L"ph1", L"late", 0, 0, 0, 0);
    concurrentPost = api_->PostLocalCache(nullptr);
  });
  UseServer(server);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);

  ASSERT_EQ(api_->PostLocalCache(nullptr), UC_OK);
  EXPECT_EQ(concurrentPost, UC_E_BUSY);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(EventCodes(), Codes{L"late"});
}

TEST_F(UsageCounterDll, FailedPostsKeepEveryEvent) {
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"a501", 0, 0, 0, 0), UC_OK);
  const std::string before = ReadFileBytes(CacheFile());
  {
    LoopbackHttpServer server(LoopbackHttpServer::Reply::ServerError);
    UseServer(server);
    EXPECT_EQ(api_->PostLocalCache(nullptr), UC_E_HTTPSTATUS);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(ReadFileBytes(CacheFile()), before);
  }
  {
    // Following the redirect would turn the post into a GET elsewhere, whose
    // 200 would wrongly count as delivery.
    LoopbackHttpServer server(LoopbackHttpServer::Reply::Redirect);
    UseServer(server);
    EXPECT_EQ(api_->PostLocalCache(nullptr), UC_E_HTTPSTATUS);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(ReadFileBytes(CacheFile()), before);
  }
  {
    const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(LoopbackHttpServer::UnusedPort()) + L"/x";
    ASSERT_EQ(api_->SetStatParam(L"ph1", L"1.2.0", L"corvane", refused.c_str()), UC_OK);
    EXPECT_EQ(api_->PostLocalCache(nullptr), UC_E_NETWORK);
    EXPECT_EQ(ReadFileBytes(CacheFile()), before);
  }
  {
    LoopbackHttpServer server(LoopbackHttpServer::Reply::Never);
    UseServer(server);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(api_->PostLocalCache(nullptr), UC_E_NETWORK);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(15)) << "the post must give up after a few seconds";
    EXPECT_GE(server.Requests().size(), 1u);
    EXPECT_EQ(ReadFileBytes(CacheFile()), before);
  }
}

TEST_F(UsageCounterDll, PostAndClearWorkPerProduct) {
  LoopbackHttpServer server(LoopbackHttpServer::Reply::Ok);
  UseServer(server);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"other", L"o1", 0, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"third", L"t1", 0, 0, 0, 0), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"PH1", L"a501", 0, 0, 0, 0), UC_OK);

  ASSERT_EQ(api_->PostLocalCache(L"ph1"), UC_OK);
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string body = server.Requests()[0].body;
  EXPECT_NE(body.find("\"b501\""), std::string::npos);
  EXPECT_NE(body.find("\"a501\""), std::string::npos);
  EXPECT_EQ(body.find("\"o1\""), std::string::npos);
  EXPECT_EQ(EventCodes(), (Codes{L"o1", L"t1"}));

  ASSERT_EQ(api_->ClearCacheByApp(L"OTHER"), UC_OK);
  EXPECT_EQ(EventCodes(), Codes{L"t1"});
}

TEST_F(UsageCounterDll, CacheOverItsCapDropsTheOldestEvents) {
  std::vector<std::string> lines;
  std::size_t size = 0;
  for (int i = 0; size <= 1024 * 1024; ++i) {
    usagestats::StatEvent e;
    e.product = L"ph1";
    e.event = L"old-" + std::to_wstring(i);
    e.version = std::wstring(100, L'v');
    lines.push_back(usagestats::FormatEventLine(e));
    lines.back().pop_back();
    size += lines.back().size() + 1;
  }
  ASSERT_TRUE(WriteFileBytes(CacheFile(), usagestats::JoinCacheLines(lines)));

  ASSERT_EQ(api_->DoStatistic(L"ph1", L"newest", 0, 0, 0, 0), UC_OK);
  const std::string after = ReadFileBytes(CacheFile());
  EXPECT_LE(after.size(), 1024u * 1024u);
  EXPECT_GT(after.size(), 512u * 1024u) << "only as much as needed is dropped";
  const Codes codes = EventCodes();
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes.back(), L"newest");
  EXPECT_NE(codes.front(), L"old-0");
  // The survivors are the newest old events, in order and without a gap.
  const int first = std::stoi(WideToUtf8(codes.front().substr(4)));
  for (std::size_t i = 0; i + 1 < codes.size(); ++i) {
    EXPECT_EQ(codes[i], L"old-" + std::to_wstring(first + static_cast<int>(i)));
  }
  EXPECT_EQ(first + static_cast<int>(codes.size()) - 1, static_cast<int>(lines.size()));
}

TEST_F(UsageCounterDll, CachePathSendsLaterEventsElsewhere) {
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"first", 0, 0, 0, 0), UC_OK);
  ScratchFolder other(L"uc-moved");
  const std::wstring nested = other.Path() + L"deeper/stat/";  // created on demand, slashes accepted
  ASSERT_EQ(api_->SetCachePath(nested.c_str()), UC_OK);
  ASSERT_EQ(api_->DoStatistic(L"ph1", L"second", 0, 0, 0, 0), UC_OK);

  EXPECT_EQ(EventCodes(), Codes{L"first"});
  const auto moved = usagestats::EventLines(ReadFileBytes(other.File(L"deeper\\stat\\cache.jsonl")));
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(usagestats::ReadEventLine(moved[0])->event, L"second");
}

TEST_F(UsageCounterDll, HttpPostContentPostsTheTextAsUtf8) {
  LoopbackHttpServer ok(LoopbackHttpServer::Reply::Ok);
  UseServer(ok);
  const std::wstring text = L"a=1&b=\u00e9\u4e2d";
  EXPECT_EQ(api_->HttpPostContent(ok.Url(L"/echo?x=1").c_str(), text.c_str()), UC_OK);
  EXPECT_EQ(api_->HttpPostContent(nullptr, L""), UC_OK);  // the URL of SetStatParam
  const auto requests = ok.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].target, "/echo?x=1");
  EXPECT_EQ(requests[0].body, WideToUtf8(text));
  EXPECT_NE(requests[0].headers.find("text/plain; charset=utf-8"), std::string::npos);
  EXPECT_EQ(requests[1].target, "/stat/usage_v2.php");

  LoopbackHttpServer failing(LoopbackHttpServer::Reply::ServerError);
  EXPECT_EQ(api_->HttpPostContent(failing.Url(L"/").c_str(), L"x"), UC_E_HTTPSTATUS);
}

TEST_F(UsageCounterDll, ConcurrentRecordingLosesNoLine) {
  constexpr int kThreads = 4;
  constexpr int kEach = 40;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < kEach; ++i) {
        api_->DoStatistic(L"ph1", (L"t" + std::to_wstring(t) + L"-" + std::to_wstring(i)).c_str(), i, t, 0, 0);
      }
    });
  }
  for (auto& thread : threads) thread.join();

  const auto events = Events();
  ASSERT_EQ(events.size(), static_cast<std::size_t>(kThreads * kEach));
  std::set<std::wstring> ids;
  for (const auto& e : events) ids.insert(e.id);
  EXPECT_EQ(ids.size(), events.size());
  // Each thread's own events keep their order.
  for (int t = 0; t < kThreads; ++t) {
    int next = 0;
    for (const auto& e : events) {
      if (e.event.rfind(L"t" + std::to_wstring(t) + L"-", 0) == 0) {
        EXPECT_EQ(e.number, next++);
      }
    }
    EXPECT_EQ(next, kEach);
  }
}

}  // namespace
}  // namespace nudgelet
