#pragma once
// One usage event as the cache stores it: a single line of JSON, UTF-8, ending
// in a line feed, for example
//   {"id":"3f2a…","time":"2024-05-01T12:34:56.789Z","product":"ph1","version":"1.2.0",
//    "event":"b501","number":7,"a":0,"b":0,"c":0}
// The server receives these objects unchanged, so the line format is also the
// wire format of an event.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nudgelet::usagestats {

struct UtcTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// ISO 8601 with milliseconds and "Z", e.g. "2024-05-01T12:34:56.789Z".
std::string FormatUtcTime(const UtcTime& time);

struct StatEvent {
  // Unique per event, so the server can drop an event it receives twice: a post
  // whose answer was lost is sent again later.
  std::wstring id;
  UtcTime time;
  std::wstring product;
  std::wstring version;
  std::wstring event;
  std::int32_t number = 0;
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
};

// One cache line, line feed included.
std::string FormatEventLine(const StatEvent& event);

// A line longer than this is refused when recording: it could only come from a
// caller passing absurd texts, and it would crowd real events out of the cache.
inline constexpr std::size_t kMaxEventLineBytes = 4096;

// What readers of the cache need of a line (without its line feed). nullopt for
// anything that is not a complete event: a torn or damaged line, or an object
// without a product or an event code.
struct CachedEvent {
  std::wstring product;
  std::wstring event;
};
std::optional<CachedEvent> ReadEventLine(std::string_view line);

// 32 lower-case hexadecimal digits.
std::wstring EventIdFromBytes(const std::array<std::uint8_t, 16>& bytes);

}  // namespace nudgelet::usagestats
