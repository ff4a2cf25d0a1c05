#pragma once
// "bugreport_new.txt": every report this program made, the newest on top.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace nudgelet::app {

inline constexpr wchar_t kBugReportFileName[] = L"bugreport_new.txt";

// Years of reports stay far below this; a larger file is not read, and so
// never overwritten.
inline constexpr std::uint64_t kMaxBugReportBytes = 32u << 20;

// "Main_Version      : <version>" CR LF, the report, CR LF, 75 "=", CR LF.
std::wstring BugReportBlock(const std::wstring& version, const std::wstring& report);

// The file's new content: UTF-8 with byte-order mark, the block first and the
// earlier reports below it as they were. Earlier reports are decoded by their
// byte-order mark, else as UTF-8 when valid, else in the system's code page,
// so that text written by an older program keeps its characters.
std::vector<std::uint8_t> PrependToBugReport(const std::vector<std::uint8_t>& existing, const std::wstring& block,
                                             const platform::FileSystem& files);

// Puts the block on top of "bugreport_new.txt" in the program folder, or when
// that fails in the fallback folder; answers the path of the file used (the
// fallback's, when both fail). A file that exists but cannot be read is never
// replaced: its reports would be lost.
std::wstring WriteBugReport(const platform::FileSystem& files, const std::wstring& programFolder,
                            const std::wstring& fallbackFolder, const std::wstring& version,
                            const std::wstring& report);

}  // namespace nudgelet::app
