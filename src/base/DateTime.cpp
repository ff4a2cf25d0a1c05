#include "base/DateTime.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string_view>
#include <vector>

namespace nudgelet {
namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 to the date (proleptic Gregorian).
long long DayNumber(int y, int m, int d) {
  const long long yy = y - 1;
  long long days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
  return days + d - 1;
}

const long long kEpochDay = DayNumber(1899, 12, 30);
constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

std::optional<TDateTime> EncodeDateTime(const DateTimeParts& p) {
  if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > DaysInMonth(p.year, p.month) ||
      p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59 ||
      p.millisecond < 0 || p.millisecond > 999) {
    return std::nullopt;
  }
  const double days = static_cast<double>(DayNumber(p.year, p.month, p.day) - kEpochDay);
  const double time = ((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond;
  // Before the epoch the fraction counts forward from the day's start, as the
  // stored format has always done: -1.25 is 1899-12-29 06:00.
  return days >= 0 ? days + time / kMillisecondsPerDay : days - time / kMillisecondsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  DateTimeParts p;
  if (!std::isfinite(value)) return p;
  double whole = std::trunc(value);
  long long ms = std::llround(std::fabs(value - whole) * kMillisecondsPerDay);
  if (ms >= 86400000) {
    ms -= 86400000;
    whole += value >= 0 ? 1 : -1;
  }
  long long day = static_cast<long long>(whole) + kEpochDay;
  if (day < 0) day = 0;
  // Walk years and months from day number 0 (0001-01-01).
  long long y400 = day / 146097;
  day %= 146097;
  long long y100 = day / 36524;
  if (y100 == 4) y100 = 3;
  day -= y100 * 36524;
  long long y4 = day / 1461;
  day %= 1461;
  long long y1 = day / 365;
  if (y1 == 4) y1 = 3;
  day -= y1 * 365;
  p.year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  p.month = 1;
  while (day >= DaysInMonth(p.year, p.month)) {
    day -= DaysInMonth(p.year, p.month);
    ++p.month;
  }
  p.day = static_cast<int>(day) + 1;
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.millisecond = static_cast<int>(ms % 1000);
  return p;
}

std::wstring FormatSettingsDateTime(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  wchar_t buffer[40];
  std::swprintf(buffer, std::size(buffer), L"%02d/%02d/%04d %02d:%02d:%02d:%03d", p.month, p.day, p.year, p.hour,
                p.minute, p.second, p.millisecond);
  return buffer;
}

namespace {

// Splits "a<sep>b<sep>c" into at most `limit` unsigned numbers; nullopt on anything else.
std::optional<std::vector<int>> Numbers(std::wstring_view text, wchar_t separator, std::size_t limit) {
  std::vector<int> out;
  std::size_t i = 0;
  while (true) {
    int value = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
      if (++digits > 4) return std::nullopt;
      value = value * 10 + (text[i++] - L'0');
    }
    if (digits == 0 || out.size() == limit) return std::nullopt;
    out.push_back(value);
    if (i == text.size()) return out;
    if (text[i++] != separator) return std::nullopt;
  }
}

}  // namespace

std::optional<TDateTime> ParseSettingsDateTime(const std::wstring& text) {
  std::wstring_view t = text;
  while (!t.empty() && t.front() == L' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == L' ') t.remove_suffix(1);
  const auto space = t.find(L' ');
  const auto date = Numbers(t.substr(0, space), L'/', 3);
  if (!date || date->size() != 3) return std::nullopt;
  DateTimeParts p;
  p.month = (*date)[0];
  p.day = (*date)[1];
  p.year = (*date)[2];
  if (space != std::wstring_view::npos) {
    std::wstring_view timeText = t.substr(space);
    while (!timeText.empty() && timeText.front() == L' ') timeText.remove_prefix(1);
    const auto time = Numbers(timeText, L':', 4);
    if (!time || time->size() < 2) return std::nullopt;
    p.hour = (*time)[0];
    p.minute = (*time)[1];
    if (time->size() > 2) p.second = (*time)[2];
    if (time->size() > 3) p.millisecond = (*time)[3];
  }
  return EncodeDateTime(p);
}

std::wstring FormatTimeOfDay(const DateTimeParts& p) {
  wchar_t buffer[20];
  std::swprintf(buffer, std::size(buffer), L"%02d:%02d:%02d:%03d", p.hour, p.minute, p.second, p.millisecond);
  return buffer;
}

std::wstring FormatIsoDate(const DateTimeParts& p) {
  wchar_t buffer[20];
  std::swprintf(buffer, std::size(buffer), L"%04d-%02d-%02d", p.year, p.month, p.day);
  return buffer;
}

}  // namespace nudgelet
