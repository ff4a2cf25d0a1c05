#pragma once
// SQLite's own text matching, reproduced over UTF-8 bytes so that the update
// catalogue answers the key search exactly as the statements do: instr()
// searches bytes at character starts, LIKE (without ESCAPE) folds ASCII letters
// only, takes "%" and "_" as wildcards, reads invalid UTF-8 leniently and ends a
// text at its first NUL. Both follow SQLite 3.40's func.c and utf.c.

#include <cstdint>
#include <string>
#include <string_view>

namespace nudgelet::detection::sql_text {

// instr(haystack, needle) > 0 for two texts: needle starts at a character start
// of haystack (or haystack's first byte). An empty needle is always found.
bool InstrFinds(std::string_view haystack, std::string_view needle);

// text LIKE pattern.
bool Like(std::string_view pattern, std::string_view text);

// A character as LIKE reads it (SQLite's sqlite3Utf8Read): a lead byte takes
// every continuation byte after it, overlong and surrogate forms read as
// U+FFFD, and a stray continuation byte is a character of its own. at moves on.
std::uint32_t ReadCharacter(const unsigned char*& at, const unsigned char* end);

// The characters of text as LIKE compares them when no wildcard is involved,
// ASCII letters folded, as a byte string: equal texts under LIKE's rules give
// equal strings, and a text matches a pattern's leading characters only when
// its string starts with theirs.
std::string FoldedForLike(std::string_view text);
void AppendFoldedForLike(std::string& out, std::string_view text);

// The part of a LIKE pattern before its first wildcard, folded as above.
std::string FoldedLiteralPrefix(std::string_view pattern);

}  // namespace nudgelet::detection::sql_text
