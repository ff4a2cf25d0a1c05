// The exported functions: each hands over to the one client of the process and
// turns any exception into a result code, since none may cross into a caller
// that is not C++ at all.
#include "usagecounter/UsageCounter.h"

#include "usagecounter/StatClient.h"

namespace {

using nudgelet::usagecounter::StatClient;

// Made on first use, never in DllMain: finding the user's folders calls into
// the shell, which must not happen under the loader lock.
StatClient& Client() {
  static StatClient client(nudgelet::usagecounter::UserSetup());
  return client;
}

template <typename Call>
int Guarded(Call call) noexcept {
  try {
    return call(Client());
  } catch (...) {
    return UC_E_INTERNAL;
  }
}

}  // namespace

extern "C" {

int WINAPI SetStatParam(const wchar_t* product, const wchar_t* version, const wchar_t* company, const wchar_t* url) {
  return Guarded([&](StatClient& c) { return c.SetParams(product, version, company, url); });
}

int WINAPI SetCachePath(const wchar_t* folder) {
  return Guarded([&](StatClient& c) { return c.SetCacheFolder(folder); });
}

int WINAPI DoStatistic(const wchar_t* product, const wchar_t* event, int number, int a, int b, int c) {
  return Guarded([&](StatClient& client) { return client.Record(product, event, number, a, b, c); });
}

int WINAPI DoInstallStatistic(const wchar_t* product, const wchar_t* version) {
  return Guarded([&](StatClient& c) { return c.Record(product, L"install", 0, 0, 0, 0, version); });
}

int WINAPI DoUninstallStatistic(const wchar_t* product, const wchar_t* version) {
  return Guarded([&](StatClient& c) { return c.Record(product, L"uninstall", 0, 0, 0, 0, version); });
}

int WINAPI PostLocalCache(const wchar_t* product) {
  return Guarded([&](StatClient& c) { return c.PostCache(product); });
}

int WINAPI ClearCacheByApp(const wchar_t* product) {
  return Guarded([&](StatClient& c) { return c.ClearProduct(product); });
}

int WINAPI HttpPostContent(const wchar_t* url, const wchar_t* content) {
  return Guarded([&](StatClient& c) { return c.PostText(url, content); });
}

}  // extern "C"
