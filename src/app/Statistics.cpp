#include "app/Statistics.h"

#include "base/Strings.h"

namespace nudgelet::app {

bool TStatistics::LoadStatistics(const platform::DynamicLibraries& libraries, const std::wstring& programFolder,
                                 const std::wstring& libraryName) {
  const std::wstring path =
      EqualsIgnoreCase(libraryName, L"UsageCounter.dll") ? programFolder + libraryName : libraryName;
  library_ = libraries.Load(path);
  setStatParam_ = nullptr;
  doStatistic_ = nullptr;
  resolved_ = 0;
  if (!library_) return false;
  // The library offers eight entry points; this program calls two of them.
  static const char* const kEntryPoints[] = {"SetStatParam",       "SetCachePath",         "DoStatistic",
                                             "DoInstallStatistic", "DoUninstallStatistic", "PostLocalCache",
                                             "ClearCacheByApp",    "HttpPostContent"};
  for (const char* name : kEntryPoints) {
    if (library_->Resolve(name)) ++resolved_;
  }
  setStatParam_ = library_->ResolveAs<SetStatParamFn>("SetStatParam");
  doStatistic_ = library_->ResolveAs<DoStatisticFn>("DoStatistic");
  return true;
}

void TStatistics::SetStatParam(const std::wstring& product, const std::wstring& version, const std::wstring& company,
                               const std::wstring& url) {
  productCode_ = product;
  if (setStatParam_) setStatParam_(product.c_str(), version.c_str(), company.c_str(), url.c_str());
}

std::int32_t TStatistics::DoStatistic(const std::wstring& product, const std::wstring& event, std::int32_t number,
                                      std::int32_t a, std::int32_t b, std::int32_t c) const {
  if (!doStatistic_) return -1;
  return doStatistic_(product.c_str(), event.c_str(), number, a, b, c);
}

TStatistics& Statistics() {
  // Never destroyed, so the library is never unloaded: it goes with the
  // process, and whatever it still runs at exit keeps its code.
  static TStatistics& statistics = *new TStatistics;
  return statistics;
}

}  // namespace nudgelet::app
