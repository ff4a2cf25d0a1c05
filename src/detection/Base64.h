#pragma once
// Base64 as the update database is stored: the standard alphabet with "="
// padding, separators anywhere.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nudgelet::detection {

// Decodes in place and returns the decoded length; the bytes past it are left
// over input. Every character other than letters, digits, "+", "/" and "=" is
// dropped first; the rest is read in groups of four. A group yields one byte
// fewer than three per "=" from its first "=" on (so "QQ==" is one byte), a
// short last group yields what its characters hold, and decoding goes on after
// a padded group, so concatenated texts decode as a whole.
std::size_t DecodeBase64InPlace(std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> DecodeBase64(const std::string& text);

// Standard Base64 with "=" padding, a CR LF after every lineLength characters
// (none after the last line); lineLength 0 gives a single line.
std::string EncodeBase64(const std::uint8_t* data, std::size_t size, std::size_t lineLength = 76);

}  // namespace nudgelet::detection
