#pragma once
// JSON as the program writes and reads it: UTF-8 text. Statistics, the
// detection report and the tools share it.
// Lines of the cache may have been written by other versions of the library, so
// the reader accepts any well-formed object and keeps only what it understands.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nudgelet {

// Appends text as a quoted JSON string. Control characters are escaped and
// unpaired surrogates become U+FFFD, so the result is valid JSON for any input.
void AppendJsonString(std::string& out, std::wstring_view text);
std::string JsonString(std::wstring_view text);

// The top-level members of one object that hold strings or integers.
struct JsonObjectFields {
  std::map<std::string, std::wstring> strings;
  std::map<std::string, std::int64_t> integers;
};

// Reads text that is exactly one JSON object (blanks around it allowed). Members
// of other kinds (objects, arrays, fractions, literals) are checked and skipped;
// anything malformed, including a cut-off object, answers nullopt.
std::optional<JsonObjectFields> ParseJsonObject(std::string_view text);

}  // namespace nudgelet
