#pragma once
// Naming of the cache: the file inside its folder, the folder a caller asks
// for, and the name of the lock that every process of the user takes before
// touching that file.

#include <optional>
#include <string>
#include <string_view>

namespace nudgelet::usagestats {

inline constexpr std::wstring_view kCacheFileName = L"cache.jsonl";

// A folder given by a caller, with "/" turned into "\" and trailing separators
// removed. Only absolute paths are accepted ("C:\..." or "\\server\share..."):
// a relative one would depend on whatever the host's current folder is.
std::optional<std::wstring> NormalizeCacheFolder(std::wstring_view folder);

std::wstring CacheFileIn(std::wstring_view folder);

// Name of the named mutex that guards one cache file. Different spellings of
// one path (letter case) give one name, since Windows paths ignore case.
std::wstring CacheLockName(std::wstring_view cacheFile);

}  // namespace nudgelet::usagestats
