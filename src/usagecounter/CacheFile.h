#pragma once
// The per-user event cache on disk. Every operation takes the cache's named
// lock, so processes and threads see each other's changes whole.
//
// Appends are one WriteFile of one whole line on a handle opened for appending,
// flushed before the lock is released: a crash can at worst leave the line it
// was writing cut short, never damage earlier lines. Everything else replaces
// the file through a temporary file in the same folder, so the cache is always
// either the old or the new content.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "usagestats/CacheRules.h"

namespace nudgelet::usagecounter {

enum class CacheStatus { Ok, Busy, IoError };

class CacheFile {
 public:
  CacheFile(const std::wstring& folder, usagestats::CacheLimits limits);

  const std::wstring& Path() const { return path_; }

  // Appends one event line (line feed included). When the file then exceeds
  // the cap, the oldest events are dropped.
  CacheStatus Append(std::string_view line);

  // The complete events, oldest first, without line feeds. A missing file is empty.
  CacheStatus Read(std::vector<std::string>& lines);

  // Replaces the file's events with what change makes of them. Damaged lines
  // and a torn tail are dropped with this; the file is left untouched when
  // nothing changes.
  using Change = std::function<std::vector<std::string>(std::vector<std::string>)>;
  CacheStatus Rewrite(const Change& change);

 private:
  CacheStatus ReadLocked(std::vector<std::string>& lines, bool& clean);
  CacheStatus ReplaceLocked(const std::vector<std::string>& lines);

  std::wstring folder_;
  std::wstring path_;
  std::wstring lockName_;
  usagestats::CacheLimits limits_;
};

}  // namespace nudgelet::usagecounter
