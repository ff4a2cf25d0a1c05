// libFuzzer target: the version rules over any text (UTF-16LE input).
#include <cstddef>
#include <cstdint>
#include <string>

#include "detection/VersionRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  using namespace nudgelet::detection;
  const std::wstring version = ExtractVersionNumber(text, true);
  ExtractVersionNumber(text, false);
  const std::wstring half = text.substr(0, text.size() / 2);
  // "At least" is "newer or the same": the two rules may never disagree, and
  // blanks after a part change nothing.
  const bool newer = IsNewer(version, half);
  const bool older = IsNewer(half, version);
  const bool atLeast = IsAtLeast(version, half);
  if ((newer && !atLeast) || (older && atLeast) || !IsAtLeast(half, half + L" ")) __builtin_trap();
  for (int n = 0; n <= 5; ++n) TruncateVersion(text, n);
  return 0;
}
