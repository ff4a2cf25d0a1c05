#pragma once
// The library's behaviour behind its exported functions: the parameters a
// program set, where the cache lives, and the user's opt-out. Results are the
// UC_ codes of UsageCounter.h.

#include <cstdint>
#include <mutex>
#include <string>

#include "usagecounter/HttpPoster.h"
#include "usagestats/CacheRules.h"

namespace nudgelet::usagecounter {

struct ClientSetup {
  std::wstring defaultCacheFolder;
  std::wstring userSettingsFile;  // the Main.ini with the opt-out
  usagestats::CacheLimits limits;
  HttpTimeouts timeouts;
};

// The setup of the current user, for the library as programs load it.
ClientSetup UserSetup();

class StatClient {
 public:
  explicit StatClient(ClientSetup setup);

  int SetParams(const wchar_t* product, const wchar_t* version, const wchar_t* company, const wchar_t* url);
  int SetCacheFolder(const wchar_t* folder);
  // version null or empty: the version given to SetParams.
  int Record(const wchar_t* product, const wchar_t* event, std::int32_t number, std::int32_t a, std::int32_t b,
             std::int32_t c, const wchar_t* version = nullptr);
  int PostCache(const wchar_t* product);
  int ClearProduct(const wchar_t* product);
  int PostText(const wchar_t* url, const wchar_t* text);

 private:
  struct Params {
    std::wstring product;
    std::wstring version;
    std::wstring company;
    std::wstring url;
    std::wstring cacheFolder;
  };
  Params Snapshot() const;
  bool Disabled() const;

  const ClientSetup setup_;
  mutable std::mutex mutex_;
  Params params_;
};

}  // namespace nudgelet::usagecounter
