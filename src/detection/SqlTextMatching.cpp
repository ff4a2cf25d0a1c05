#include "detection/SqlTextMatching.h"

#include <cstring>

namespace nudgelet::detection::sql_text {
namespace {

// SQLite's sqlite3Utf8Trans1: the payload bits of a lead byte 0xC0 and above.
constexpr unsigned char kLeadBits[] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
};

constexpr std::uint32_t kMatchAll = '%';
constexpr std::uint32_t kMatchOne = '_';

enum class Match { Yes, No, NoWildcardMatch };

std::uint32_t AsciiLower(std::uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
std::uint32_t AsciiUpper(std::uint32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// A view ends at its first NUL, as SQLite's C strings do.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

struct Cursor {
  const unsigned char* at;
  const unsigned char* end;
  std::uint32_t Read() { return at < end ? ReadCharacter(at, end) : 0; }
  bool AtEnd() const { return at >= end; }
};

// SQLite's patternCompare for LIKE: no escape character, ASCII case folded.
Match Compare(Cursor pattern, Cursor text) {
  std::uint32_t c;
  while ((c = pattern.Read()) != 0) {
    if (c == kMatchAll) {
      // Runs of "%" and "_" after a "%": every "_" still takes one character.
      while ((c = pattern.Read()) == kMatchAll || c == kMatchOne) {
        if (c == kMatchOne && text.Read() == 0) return Match::NoWildcardMatch;
      }
      if (c == 0) return Match::Yes;
      if (c < 0x80) {
        const char stop[2] = {static_cast<char>(AsciiUpper(c)), static_cast<char>(AsciiLower(c))};
        while (true) {
          while (!text.AtEnd() && *text.at != stop[0] && *text.at != stop[1]) ++text.at;
          if (text.AtEnd()) break;
          ++text.at;
          const Match m = Compare(pattern, text);
          if (m != Match::No) return m;
        }
      } else {
        std::uint32_t c2;
        while ((c2 = text.Read()) != 0) {
          if (c2 != c) continue;
          const Match m = Compare(pattern, text);
          if (m != Match::No) return m;
        }
      }
      return Match::NoWildcardMatch;
    }
    const std::uint32_t c2 = text.Read();
    if (c == c2) continue;
    if (c < 0x80 && c2 < 0x80 && AsciiLower(c) == AsciiLower(c2)) continue;
    if (c == kMatchOne && c2 != 0) continue;
    return Match::No;
  }
  return text.AtEnd() ? Match::Yes : Match::No;
}

void AppendFolded(std::string& out, std::uint32_t c) {
  // One byte for ASCII; 0xFF (never a byte of ASCII) and four bytes otherwise,
  // so the encoding is one to one and no character's bytes begin another's.
  if (c < 0x80) {
    out.push_back(static_cast<char>(AsciiLower(c)));
    return;
  }
  out.push_back('\xFF');
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((c >> shift) & 0xFF));
}

Cursor Over(std::string_view text) {
  text = UpToNul(text);
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  return Cursor{data, data + text.size()};
}

}  // namespace

std::uint32_t ReadCharacter(const unsigned char*& at, const unsigned char* end) {
  std::uint32_t c = *at++;
  if (c >= 0xC0) {
    c = kLeadBits[c - 0xC0];
    while (at < end && (*at & 0xC0) == 0x80) c = (c << 6) + (0x3F & *at++);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE) c = 0xFFFD;
  }
  return c;
}

bool InstrFinds(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  std::size_t at = 0;
  while (needle.size() <= haystack.size() - at) {
    if (std::memcmp(haystack.data() + at, needle.data(), needle.size()) == 0) return true;
    do {
      ++at;
    } while (at < haystack.size() && (static_cast<unsigned char>(haystack[at]) & 0xC0) == 0x80);
  }
  return false;
}

bool Like(std::string_view pattern, std::string_view text) { return Compare(Over(pattern), Over(text)) == Match::Yes; }

std::string FoldedForLike(std::string_view text) {
  std::string out;
  AppendFoldedForLike(out, text);
  return out;
}

void AppendFoldedForLike(std::string& out, std::string_view text) {
  Cursor cursor = Over(text);
  for (std::uint32_t c; (c = cursor.Read()) != 0;) AppendFolded(out, c);
}

std::string FoldedLiteralPrefix(std::string_view pattern) {
  std::string out;
  Cursor cursor = Over(pattern);
  for (std::uint32_t c; (c = cursor.Read()) != 0 && c != kMatchAll && c != kMatchOne;) AppendFolded(out, c);
  return out;
}

}  // namespace nudgelet::detection::sql_text
