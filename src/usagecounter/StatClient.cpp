#include "usagecounter/StatClient.h"

#include "base/Strings.h"
#include "usagecounter/CacheFile.h"
#include "usagecounter/EventStamp.h"
#include "usagecounter/NamedLock.h"
#include "usagecounter/UsageCounter.h"
#include "usagecounter/UserLocations.h"
#include "usagestats/CachePath.h"
#include "usagestats/PostBody.h"
#include "usagestats/StatEvent.h"

namespace nudgelet::usagecounter {
namespace {

std::wstring Text(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

bool Empty(const wchar_t* text) { return !text || !*text; }

int FromCacheStatus(CacheStatus status) {
  switch (status) {
    case CacheStatus::Ok:
      return UC_OK;
    case CacheStatus::Busy:
      return UC_E_BUSY;
    case CacheStatus::IoError:
      break;
  }
  return UC_E_IO;
}

int FromPostResult(const PostResult& result) {
  switch (result.outcome) {
    case PostOutcome::Accepted:
      return UC_OK;
    case PostOutcome::Rejected:
      return UC_E_HTTPSTATUS;
    case PostOutcome::BadUrl:
      return UC_E_INVALIDARG;
    case PostOutcome::NetworkError:
      break;
  }
  return UC_E_NETWORK;
}

}  // namespace

ClientSetup UserSetup() {
  ClientSetup setup;
  setup.defaultCacheFolder = DefaultCacheFolder();
  setup.userSettingsFile = UserSettingsFile();
  return setup;
}

StatClient::StatClient(ClientSetup setup) : setup_(std::move(setup)) {
  params_.cacheFolder = setup_.defaultCacheFolder;
}

StatClient::Params StatClient::Snapshot() const {
  std::lock_guard lock(mutex_);
  return params_;
}

// Read on every call, so switching statistics off takes effect at once, also
// in programs that are already running.
bool StatClient::Disabled() const { return IsStatisticsDisabled(setup_.userSettingsFile); }

int StatClient::SetParams(const wchar_t* product, const wchar_t* version, const wchar_t* company, const wchar_t* url) {
  std::lock_guard lock(mutex_);
  params_.product = Text(product);
  params_.version = Text(version);
  params_.company = Text(company);
  params_.url = Text(url);
  return UC_OK;
}

int StatClient::SetCacheFolder(const wchar_t* folder) {
  std::wstring chosen = setup_.defaultCacheFolder;
  if (!Empty(folder)) {
    auto normalized = usagestats::NormalizeCacheFolder(folder);
    if (!normalized) return UC_E_INVALIDARG;
    chosen = std::move(*normalized);
  }
  std::lock_guard lock(mutex_);
  params_.cacheFolder = std::move(chosen);
  return UC_OK;
}

int StatClient::Record(const wchar_t* product, const wchar_t* event, std::int32_t number, std::int32_t a,
                       std::int32_t b, std::int32_t c, const wchar_t* version) {
  if (Empty(product) || Empty(event)) return UC_E_INVALIDARG;
  if (Disabled()) return UC_DISABLED;
  const Params params = Snapshot();

  usagestats::StatEvent e;
  e.id = NewEventId();
  e.time = NowUtc();
  e.product = product;
  e.version = Empty(version) ? params.version : std::wstring(version);
  e.event = event;
  e.number = number;
  e.a = a;
  e.b = b;
  e.c = c;
  const std::string line = usagestats::FormatEventLine(e);
  if (line.size() > usagestats::kMaxEventLineBytes) return UC_E_INVALIDARG;
  return FromCacheStatus(CacheFile(params.cacheFolder, setup_.limits).Append(line));
}

int StatClient::PostCache(const wchar_t* product) {
  if (Disabled()) return UC_DISABLED;
  const Params params = Snapshot();
  if (params.url.empty()) return UC_E_NOURL;

  CacheFile cache(params.cacheFolder, setup_.limits);
  // Two posts of one cache at a time would send the same events twice; the
  // second caller is told so at once rather than made to wait for the network.
  auto posting = NamedLock::Acquire(usagestats::CacheLockName(cache.Path()) + L".post", 0);
  if (!posting) return UC_E_BUSY;

  std::vector<std::string> lines;
  if (const auto status = cache.Read(lines); status != CacheStatus::Ok) return FromCacheStatus(status);
  const std::vector<std::string> sent = usagestats::SelectProduct(lines, Text(product));
  if (sent.empty()) return UC_OK;

  const std::string body = usagestats::BuildPostBody({params.product, params.version, params.company}, NowUtc(), sent);
  const PostResult result = HttpPost(params.url, body, L"application/json; charset=utf-8", setup_.timeouts);
  if (result.outcome != PostOutcome::Accepted) return FromPostResult(result);

  // The cache was not locked during the post: take away only what was sent.
  return FromCacheStatus(cache.Rewrite(
      [&sent](std::vector<std::string> current) { return usagestats::WithoutSent(std::move(current), sent); }));
}

int StatClient::ClearProduct(const wchar_t* product) {
  if (Empty(product)) return UC_E_INVALIDARG;
  const Params params = Snapshot();
  const std::wstring name = product;
  return FromCacheStatus(CacheFile(params.cacheFolder, setup_.limits).Rewrite([&name](std::vector<std::string> lines) {
    return usagestats::SelectProduct(lines, name, false);
  }));
}

int StatClient::PostText(const wchar_t* url, const wchar_t* text) {
  if (!text) return UC_E_INVALIDARG;
  if (Disabled()) return UC_DISABLED;
  const std::wstring target = Empty(url) ? Snapshot().url : std::wstring(url);
  if (target.empty()) return UC_E_NOURL;
  const std::string body = WideToUtf8(text);
  return FromPostResult(HttpPost(target, body, L"text/plain; charset=utf-8", setup_.timeouts));
}

}  // namespace nudgelet::usagecounter
