#pragma once
// The rules of the event cache file, apart from the file itself: which lines
// count, how the file is kept small, and what a successful post removes.
//
// The file is a sequence of event lines (see StatEvent.h), oldest first. Writers
// only ever append whole lines or replace the whole file, so a line without its
// line feed can only be an append cut short by a crash or power loss.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet::usagestats {

struct CacheLimits {
  // Once the file grows beyond capBytes, the oldest events are dropped until it
  // holds at most trimToBytes. The gap keeps a full cache from being rewritten
  // on every single event.
  std::size_t capBytes = 1024 * 1024;
  std::size_t trimToBytes = 768 * 1024;
  // Readers look at no more than this much of the end of the file, so a file
  // grown huge by some other writer cannot exhaust the host program's memory.
  std::size_t readLimitBytes = 4 * 1024 * 1024;
};

// The complete event lines of cache bytes, oldest first, without line feeds (a
// CR before the line feed is dropped too). A last line without line feed,
// damaged lines and objects that are not events are left out. When
// startsMidLine is true the bytes begin inside a line (a window on the end of a
// larger file) and everything up to the first line feed is left out as well.
std::vector<std::string> EventLines(std::string_view bytes, bool startsMidLine = false);

// File content for the given lines.
std::string JoinCacheLines(const std::vector<std::string>& lines);

// The newest lines whose file content fits into budgetBytes, in their order.
std::vector<std::string> KeepNewest(std::vector<std::string> lines, std::size_t budgetBytes);

// current without the lines that were sent: each sent line takes away one equal
// line, so events appended while the post was under way, and events that other
// writers dropped meanwhile, are both handled correctly.
std::vector<std::string> WithoutSent(std::vector<std::string> current, const std::vector<std::string>& sent);

// The lines whose product is (or, with keep false, is not) the given product,
// compared without regard to case. An empty product selects every line.
std::vector<std::string> SelectProduct(const std::vector<std::string>& lines, std::wstring_view product,
                                       bool keep = true);

}  // namespace nudgelet::usagestats
