#pragma once
// The client of the product's usage-statistics library "UsageCounter.dll": it
// loads the library, resolves its entry points by name and forwards events.
// Without the library every call does nothing.

#include <cstdint>
#include <memory>
#include <string>

#include "base/CallingConvention.h"
#include "platform/DynamicLibrary.h"

namespace nudgelet::app {

// The product's code and events.
inline constexpr wchar_t kStatProduct[] = L"ph1";
inline constexpr wchar_t kStatCompany[] = L"corvane";
inline constexpr wchar_t kStatUrl[] = L"https://stats.corvane.com/usage_v2.php";

class TStatistics {
 public:
  using SetStatParamFn = std::int32_t(NUDGELET_STDCALL*)(const wchar_t* product, const wchar_t* version,
                                                         const wchar_t* company, const wchar_t* url);
  using DoStatisticFn = std::int32_t(NUDGELET_STDCALL*)(const wchar_t* product, const wchar_t* event,
                                                        std::int32_t number, std::int32_t a, std::int32_t b,
                                                        std::int32_t c);

  // "UsageCounter.dll" (any letter case) is loaded from the program folder, any
  // other name through the system's search. True when the library loaded.
  bool LoadStatistics(const platform::DynamicLibraries& libraries, const std::wstring& programFolder,
                      const std::wstring& libraryName);
  void SetStatParam(const std::wstring& product, const std::wstring& version, const std::wstring& company,
                    const std::wstring& url);
  // -1 when the library or its entry point is missing; otherwise the library's answer.
  std::int32_t DoStatistic(const std::wstring& product, const std::wstring& event, std::int32_t number,
                           std::int32_t a = 0, std::int32_t b = 0, std::int32_t c = 0) const;

  const std::wstring& ProductCode() const { return productCode_; }
  bool IsLoaded() const { return library_ != nullptr; }
  // Whether each of the library's eight entry points was found.
  int ResolvedEntryPoints() const { return resolved_; }

 private:
  std::unique_ptr<platform::DynamicLibrary> library_;
  SetStatParamFn setStatParam_ = nullptr;
  DoStatisticFn doStatistic_ = nullptr;
  int resolved_ = 0;
  std::wstring productCode_;
};

// The process's statistics client; it keeps its library loaded until the process ends.
TStatistics& Statistics();

}  // namespace nudgelet::app
