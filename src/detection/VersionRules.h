#pragma once
// How versions are read and compared: dotted texts of any shape, compared part
// by part as integers.

#include <string>

namespace nudgelet::detection {

// a is a newer version than b. Parts that are not decimal integers count as 0.
bool IsNewer(const std::wstring& a, const std::wstring& b);
// a is at least b, where trailing zero parts do not count.
bool IsAtLeast(const std::wstring& a, const std::wstring& b);
// The part before the n-th "." (n from 1 to 4); the whole text when it has fewer
// dots; empty when it has none or n is out of range.
std::wstring TruncateVersion(const std::wstring& text, int n);
// The first run of version characters (digits and ".", with allowDash also "-"
// and "/") of three or more characters, or the run that reaches the end; trailing
// blanks, dots and dashes removed.
std::wstring ExtractVersionNumber(const std::wstring& text, bool allowDash);

}  // namespace nudgelet::detection
