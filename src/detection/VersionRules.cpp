#include "detection/VersionRules.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/Strings.h"

namespace nudgelet::detection {
namespace {

std::vector<std::wstring> SplitDots(const std::wstring& text) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (true) {
    const auto dot = text.find(L'.', start);
    parts.push_back(text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start));
    if (dot == std::wstring::npos) return parts;
    start = dot + 1;
  }
}

// A part's value: its decimal integer (with an optional sign), 0 for anything
// else. Numbers beyond 64 bits saturate rather than count as 0, so a long build
// number still beats a short one.
std::int64_t PartValue(const std::wstring& part) {
  std::wstring_view p = TrimView(part);
  bool negative = false;
  if (!p.empty() && (p.front() == L'+' || p.front() == L'-')) {
    negative = p.front() == L'-';
    p.remove_prefix(1);
  }
  if (p.empty()) return 0;
  std::int64_t value = 0;
  for (wchar_t c : p) {
    if (c < L'0' || c > L'9') return 0;
    value = value > (INT64_MAX - 9) / 10 ? INT64_MAX : value * 10 + (c - L'0');
  }
  return negative ? -value : value;
}

// -1, 0 or 1 over the larger part count, missing parts being 0.
int ComparePartwise(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b) {
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t x = i < a.size() ? PartValue(a[i]) : 0;
    const std::int64_t y = i < b.size() ? PartValue(b[i]) : 0;
    if (x != y) return x > y ? 1 : -1;
  }
  return 0;
}

}  // namespace

bool IsNewer(const std::wstring& a, const std::wstring& b) { return ComparePartwise(SplitDots(a), SplitDots(b)) > 0; }

bool IsAtLeast(const std::wstring& a, const std::wstring& b) {
  auto trim = [](std::vector<std::wstring> parts) {
    while (!parts.empty() && PartValue(parts.back()) == 0) parts.pop_back();
    return parts;
  };
  const auto x = trim(SplitDots(a));
  const auto y = trim(SplitDots(b));
  // Equal texts are "at least", equal values spelt differently ("03") are not.
  // The blanks around a part are no part of its spelling: PartValue reads
  // through them, so "3.3 " must be at least "3.3" as it is neither newer nor older.
  auto sameText = [](const std::wstring& p, const std::wstring& q) { return TrimView(p) == TrimView(q); };
  if (std::equal(x.begin(), x.end(), y.begin(), y.end(), sameText)) return true;
  return ComparePartwise(x, y) > 0;
}

std::wstring TruncateVersion(const std::wstring& text, int n) {
  if (n < 1 || n > 4) return {};
  const std::wstring t = Trim(text);
  std::size_t pos = std::wstring::npos;
  int found = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == L'.' && ++found == n) {
      pos = i;
      break;
    }
  }
  if (pos != std::wstring::npos) return t.substr(0, pos);
  return found > 0 ? t : std::wstring();
}

std::wstring ExtractVersionNumber(const std::wstring& text, bool allowDash) {
  auto allowed = [allowDash](wchar_t c) {
    return (c >= L'0' && c <= L'9') || c == L'.' || (allowDash && (c == L'-' || c == L'/'));
  };
  std::wstring result;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] < L'0' || text[i] > L'9') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && allowed(text[end])) ++end;
    const std::size_t length = end - i;
    if (end == text.size() || length >= 3) {
      result = text.substr(i, length);
      break;
    }
    i = end;  // too short a run: look further
  }
  while (!result.empty() && result.back() == L' ') result.pop_back();
  while (!result.empty() && result.back() == L'.') result.pop_back();
  while (!result.empty() && result.back() == L'-') result.pop_back();
  return result;
}

}  // namespace nudgelet::detection
