#pragma once
// What the crashed process can tell about itself: its stack, its modules and
// the system it runs on.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BugReportText.h"

namespace nudgelet::app::win32 {

inline constexpr std::size_t kMaxStackFrames = 64;

// The return addresses of the thread whose registers the context holds, the
// faulting instruction first. Stops at the first frame whose stack cannot be
// read, so a broken stack ends the walk instead of faulting again.
std::vector<std::uint64_t> WalkStack(const CONTEXT& context);

// Every module loaded into this process.
std::vector<LoadedModule> ListLoadedModules();

// "Windows 6.1 (build 7601, Service Pack 1)", as the kernel reports it:
// RtlGetVersion does not pretend to older programs.
std::wstring DescribeWindowsVersion();

}  // namespace nudgelet::app::win32
