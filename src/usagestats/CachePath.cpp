#include "usagestats/CachePath.h"

#include <cstdint>

#include "base/Paths.h"
#include "base/Strings.h"

namespace nudgelet::usagestats {
namespace {

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::optional<std::wstring> NormalizeCacheFolder(std::wstring_view folder) {
  std::wstring path = ToBackslashes(folder);
  const bool drive = path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
  const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
  if (!drive && !unc) return std::nullopt;
  // "C:\" stays a root; anything longer loses its trailing separators.
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring CacheFileIn(std::wstring_view folder) {
  std::wstring path(folder);
  if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
  path += kCacheFileName;
  return path;
}

std::wstring CacheLockName(std::wstring_view cacheFile) {
  // FNV-1a over the UTF-8 of the upper-cased path: the same on every build.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : WideToUtf8(ToUpper(cacheFile))) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring name = L"Local\\Corvane.UsageCounter.";
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHex[(hash >> shift) & 0xF]);
  return name;
}

}  // namespace nudgelet::usagestats
