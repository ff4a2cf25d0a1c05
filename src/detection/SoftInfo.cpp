#include "detection/SoftInfo.h"

#include <cstdio>
#include <cwchar>

namespace nudgelet::detection {

std::wstring FormatByteSize(std::int64_t bytes) {
  if (bytes < 1024) return std::to_wstring(bytes) + L" Byte";
  static const wchar_t* const kUnits[] = {L" KB", L" MB", L" GB"};
  double value = static_cast<double>(bytes) / 1024.0;
  int unit = 0;
  while (value >= 1024.0 && unit < 2) {
    value /= 1024.0;
    ++unit;
  }
  wchar_t buffer[64];
  std::swprintf(buffer, std::size(buffer), L"%.2f", value);
  return buffer + std::wstring(kUnits[unit]);
}

}  // namespace nudgelet::detection
