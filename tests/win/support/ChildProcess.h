#pragma once
// Other programs run by the Windows tests (reg.exe, the tools, the stand-ins).

#include <windows.h>

#include <string>

namespace nudgelet::testing {

// Runs a command line without a window to its end (at most a minute) and answers
// its exit code; (DWORD)-1 when it could not be started, STILL_ACTIVE when it did not end.
DWORD RunToEnd(std::wstring commandLine);

}  // namespace nudgelet::testing
