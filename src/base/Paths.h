#pragma once
// Windows paths as text. The classic helpers split at "\" and ":" only, as the
// product's path rules always have: a "/" in a command line is usually a switch.
// Where a path may come with either separator, ToBackslashes makes one spelling
// first.

#include <string>
#include <string_view>

namespace nudgelet {

constexpr bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part, up to and including the last "\" or ":"; empty when none.
std::wstring ExtractFilePath(const std::wstring& path);
// The name after the folder part.
std::wstring ExtractFileName(const std::wstring& path);
// The extension of the name after the last "\", "/" or ":", with its dot
// (".png"); empty when the name has none.
std::wstring ExtractFileExt(const std::wstring& path);
std::wstring IncludeTrailingBackslash(const std::wstring& path);
// Drops one trailing "\".
std::wstring ExcludeTrailingBackslash(const std::wstring& path);
// Every "/" as "\".
std::wstring ToBackslashes(std::wstring_view path);
// Every "\" as "/": how resource names and the native file system spell paths.
std::wstring ToForwardSlashes(std::wstring_view path);

}  // namespace nudgelet
