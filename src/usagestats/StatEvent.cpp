#include "usagestats/StatEvent.h"

#include <cstdio>

#include "base/Json.h"

namespace nudgelet::usagestats {

std::string FormatUtcTime(const UtcTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return text;
}

std::string FormatEventLine(const StatEvent& e) {
  std::string line = "{\"id\":";
  AppendJsonString(line, e.id);
  line += ",\"time\":\"" + FormatUtcTime(e.time) + "\",\"product\":";
  AppendJsonString(line, e.product);
  line += ",\"version\":";
  AppendJsonString(line, e.version);
  line += ",\"event\":";
  AppendJsonString(line, e.event);
  line += ",\"number\":" + std::to_string(e.number);
  line += ",\"a\":" + std::to_string(e.a);
  line += ",\"b\":" + std::to_string(e.b);
  line += ",\"c\":" + std::to_string(e.c);
  line += "}\n";
  return line;
}

std::optional<CachedEvent> ReadEventLine(std::string_view line) {
  auto fields = ParseJsonObject(line);
  if (!fields) return std::nullopt;
  auto product = fields->strings.find("product");
  auto event = fields->strings.find("event");
  if (product == fields->strings.end() || event == fields->strings.end()) return std::nullopt;
  if (product->second.empty() || event->second.empty()) return std::nullopt;
  return CachedEvent{product->second, event->second};
}

std::wstring EventIdFromBytes(const std::array<std::uint8_t, 16>& bytes) {
  constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring id;
  id.reserve(32);
  for (std::uint8_t b : bytes) {
    id.push_back(kHex[b >> 4]);
    id.push_back(kHex[b & 0xF]);
  }
  return id;
}

}  // namespace nudgelet::usagestats
