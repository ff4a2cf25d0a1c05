#pragma once
// Date-times as the product stores them: days since 1899-12-30 as a double, the
// fraction being the time of day.

#include <optional>
#include <string>

namespace nudgelet {

using TDateTime = double;

struct DateTimeParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// nullopt when a field is out of range (month 13, February 30th, hour 24, ...).
std::optional<TDateTime> EncodeDateTime(const DateTimeParts& parts);
DateTimeParts DecodeDateTime(TDateTime value);

// "mm/dd/yyyy hh:nn:ss:zzz": how settings files store date-times.
std::wstring FormatSettingsDateTime(TDateTime value);
std::optional<TDateTime> ParseSettingsDateTime(const std::wstring& text);

// "hh:nn:ss:zzz" and "YYYY-MM-DD".
std::wstring FormatTimeOfDay(const DateTimeParts& parts);
std::wstring FormatIsoDate(const DateTimeParts& parts);

}  // namespace nudgelet
