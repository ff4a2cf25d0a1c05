#pragma once
// The text of log lines and the names of the daily log files.

#include <cstdint>
#include <string>

#include "base/DateTime.h"

namespace nudgelet {

// The kind of a line; the names are also the log files' extensions.
enum class TExtType : int { dbg = 0, err = 1, loop = 2 };

// "dbg", "err" or "loop"; kinds outside the enumeration go to the dbg file.
const wchar_t* LogKindExtension(int kind);

// "[hh:nn:ss:zzz][exe][code][tid4] - [module]message"; the module part only when
// a module is given, the thread id cut to its first four digits.
std::wstring FormatLogLine(const DateTimeParts& localTime, const std::wstring& exeName, const std::wstring& code,
                           std::uint32_t threadId, const std::wstring& message, const std::wstring& module);

// "<folder>YYYY-MM-DD.<ext>"; the folder ends with a backslash.
std::wstring LogFileName(const std::wstring& folder, const DateTimeParts& localDate, int kind);

}  // namespace nudgelet
