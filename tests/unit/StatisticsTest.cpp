#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "app/Statistics.h"

namespace nudgelet::app {
namespace {

struct Call {
  std::wstring what;
  std::int32_t number;
};
std::vector<Call> g_calls;

std::int32_t NUDGELET_STDCALL RecordParam(const wchar_t* product, const wchar_t* version, const wchar_t* company,
                                          const wchar_t* url) {
  g_calls.push_back({std::wstring(product) + L"|" + version + L"|" + company + L"|" + url, 0});
  return 0;
}

std::int32_t NUDGELET_STDCALL RecordEvent(const wchar_t* product, const wchar_t* event, std::int32_t number,
                                          std::int32_t a, std::int32_t b, std::int32_t c) {
  g_calls.push_back({std::wstring(product) + L"|" + event, number + a + b + c});
  return 17;
}

class FakeLibrary final : public platform::DynamicLibrary {
 public:
  explicit FakeLibrary(std::map<std::string, platform::EntryPoint> exports) : exports_(std::move(exports)) {}
  platform::EntryPoint Resolve(const char* name) const override {
    auto it = exports_.find(name);
    return it == exports_.end() ? nullptr : it->second;
  }

 private:
  std::map<std::string, platform::EntryPoint> exports_;
};

class FakeLibraries final : public platform::DynamicLibraries {
 public:
  std::map<std::wstring, std::map<std::string, platform::EntryPoint>> available;
  mutable std::vector<std::wstring> requested;

  std::unique_ptr<platform::DynamicLibrary> Load(const std::wstring& path) const override {
    requested.push_back(path);
    auto it = available.find(path);
    if (it == available.end()) return nullptr;
    return std::make_unique<FakeLibrary>(it->second);
  }
  std::unique_ptr<platform::DynamicLibrary> FindLoaded(const std::wstring&) const override { return nullptr; }
};

template <typename Fn>
platform::EntryPoint Entry(Fn fn) {
  return reinterpret_cast<platform::EntryPoint>(fn);
}

const std::wstring kFolder = L"C:\\App\\";

TEST(Statistics, ForwardsToTheLibraryBesideTheProgram) {
  g_calls.clear();
  FakeLibraries libraries;
  libraries.available[kFolder + L"usagecounter.DLL"] = {{"SetStatParam", Entry(&RecordParam)},
                                                        {"DoStatistic", Entry(&RecordEvent)},
                                                        {"PostLocalCache", Entry(&RecordEvent)}};
  TStatistics stats;
  ASSERT_TRUE(stats.LoadStatistics(libraries, kFolder, L"usagecounter.DLL"));
  EXPECT_EQ(stats.ResolvedEntryPoints(), 3);
  stats.SetStatParam(kStatProduct, L"5.2", kStatCompany, kStatUrl);
  EXPECT_EQ(stats.DoStatistic(kStatProduct, L"b501", 7), 17);
  EXPECT_EQ(stats.DoStatistic(kStatProduct, L"a501", 0), 17);
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[0].what, std::wstring(L"ph1|5.2|corvane|") + kStatUrl);
  EXPECT_EQ(g_calls[1].what, L"ph1|b501");
  EXPECT_EQ(g_calls[1].number, 7);
  EXPECT_EQ(g_calls[2].what, L"ph1|a501");
  // The host is ours to choose; the server takes posts at this path only.
  const std::wstring url = kStatUrl;
  EXPECT_EQ(url.substr(url.find(L'/', url.find(L"://") + 3)), L"/usage_v2.php");
}

TEST(Statistics, WithoutTheLibraryEveryCallDoesNothing) {
  g_calls.clear();
  FakeLibraries libraries;
  TStatistics stats;
  EXPECT_FALSE(stats.LoadStatistics(libraries, kFolder, L"Other.dll"));
  EXPECT_EQ(libraries.requested.back(), L"Other.dll");  // other names use the system's search
  EXPECT_FALSE(stats.LoadStatistics(libraries, kFolder, L"UsageCounter.dll"));
  stats.SetStatParam(kStatProduct, L"1", kStatCompany, kStatUrl);
  EXPECT_EQ(stats.ProductCode(), L"ph1");
  EXPECT_EQ(stats.DoStatistic(kStatProduct, L"b501", 7), -1);

  libraries.available[kFolder + L"UsageCounter.dll"] = {{"SetStatParam", Entry(&RecordParam)}};
  ASSERT_TRUE(stats.LoadStatistics(libraries, kFolder, L"UsageCounter.dll"));
  EXPECT_EQ(stats.DoStatistic(kStatProduct, L"b501", 7), -1);  // that entry point is missing
  EXPECT_TRUE(g_calls.empty());
}

// A library that ends the process with code 3 when it is unloaded.
class TellingLibrary final : public platform::DynamicLibrary {
 public:
  ~TellingLibrary() override { std::_Exit(3); }
  platform::EntryPoint Resolve(const char*) const override { return nullptr; }
};

class TellingLibraries final : public platform::DynamicLibraries {
 public:
  std::unique_ptr<platform::DynamicLibrary> Load(const std::wstring&) const override {
    return std::make_unique<TellingLibrary>();
  }
  std::unique_ptr<platform::DynamicLibrary> FindLoaded(const std::wstring&) const override { return nullptr; }
};

TEST(StatisticsDeathTest, TheProcessKeepsItsLibraryUntilItEnds) {
  EXPECT_EXIT(
      {
        TellingLibraries libraries;
        Statistics().LoadStatistics(libraries, kFolder, L"UsageCounter.dll");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace nudgelet::app
