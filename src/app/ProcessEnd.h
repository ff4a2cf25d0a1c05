#pragma once
// Every way the process ends.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::app {

// Ends the process with exit code 0 without any further clean-up. Lines still
// queued for the log are written out first (waiting at most half a second),
// so the reason for the end is never lost.
[[noreturn]] void EndProcessAtOnce();

// The orderly end of the entry sequence: the log is stopped (its error count
// added to Main.ini when that file exists) and the caller returns 0.
void StopLogForOrderlyExit(const platform::Platform& p);

}  // namespace nudgelet::app
