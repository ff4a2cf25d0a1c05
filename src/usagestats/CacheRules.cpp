#include "usagestats/CacheRules.h"

#include <algorithm>
#include <unordered_map>

#include "base/Strings.h"
#include "usagestats/StatEvent.h"

namespace nudgelet::usagestats {

std::vector<std::string> EventLines(std::string_view bytes, bool startsMidLine) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  if (startsMidLine) {
    const std::size_t first = bytes.find('\n');
    if (first == std::string_view::npos) return lines;
    start = first + 1;
  }
  for (;;) {
    const std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) break;  // torn or empty tail
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (ReadEventLine(line)) lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::string JoinCacheLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 1;
  std::string bytes;
  bytes.reserve(size);
  for (const auto& line : lines) {
    bytes += line;
    bytes.push_back('\n');
  }
  return bytes;
}

std::vector<std::string> KeepNewest(std::vector<std::string> lines, std::size_t budgetBytes) {
  std::size_t used = 0;
  std::size_t first = lines.size();
  while (first > 0 && used + lines[first - 1].size() + 1 <= budgetBytes) {
    used += lines[first - 1].size() + 1;
    --first;
  }
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
  return lines;
}

std::vector<std::string> WithoutSent(std::vector<std::string> current, const std::vector<std::string>& sent) {
  std::unordered_map<std::string_view, std::size_t> pending;
  for (const auto& line : sent) ++pending[line];
  std::vector<std::string> kept;
  kept.reserve(current.size());
  for (auto& line : current) {
    auto it = pending.find(line);
    if (it != pending.end() && it->second > 0) {
      --it->second;
      continue;
    }
    kept.push_back(std::move(line));
  }
  return kept;
}

std::vector<std::string> SelectProduct(const std::vector<std::string>& lines, std::wstring_view product, bool keep) {
  std::vector<std::string> selected;
  for (const auto& line : lines) {
    bool matches = product.empty();
    if (!matches) {
      const auto event = ReadEventLine(line);
      matches = event && EqualsIgnoreCase(event->product, product);
    }
    if (matches == keep) selected.push_back(line);
  }
  return selected;
}

}  // namespace nudgelet::usagestats
