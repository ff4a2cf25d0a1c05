#include "detection/SoftInfo.h"

namespace nudgelet::detection {

std::wstring FormatByteSize(std::int64_t bytes) {
  if (bytes < 1024) return std::to_wstring(bytes) + L" Byte";
  static const wchar_t* const kUnits[] = {L" KB", L" MB", L" GB"};
  int unit = 0;
  std::int64_t divisor = 1024;
  while (bytes / divisor >= 1024 && unit < 2) {
    divisor *= 1024;
    ++unit;
  }
  // Hundredths in whole numbers, a half rounded away from zero, as the product
  // has always shown sizes ("0.00"): 1152 bytes are 1.13 KB on every runtime,
  // where printf rounds that tie to even.
  const std::int64_t whole = bytes / divisor;
  const std::int64_t rest = (bytes % divisor) * 100;
  std::int64_t hundredths = whole * 100 + rest / divisor;
  if ((rest % divisor) * 2 >= divisor) ++hundredths;
  const std::int64_t cents = hundredths % 100;
  return std::to_wstring(hundredths / 100) + (cents < 10 ? L".0" : L".") + std::to_wstring(cents) + kUnits[unit];
}

}  // namespace nudgelet::detection
