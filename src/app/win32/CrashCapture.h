#pragma once
// Catching what nothing else caught: faults the system raises (access
// violations and the like) and C++ errors that reach the top of a thread.
// Each goes through the crash report hand-off and the process ends with exit
// code 0; nothing is ever shown.

namespace nudgelet::app::win32 {

// Takes over unhandled system exceptions and std::terminate. Call it first,
// before anything that could fail; start-up sets the report's settings later.
void InstallCrashCapture();

// For the top-level catch block: reports the error in flight and ends the
// process. Returns only when the crash filter chose to ignore the error.
void ReportCaughtException();

}  // namespace nudgelet::app::win32
