#pragma once

namespace nudgelet::app {

// Runs the program from its command line; returns the process exit code. Errors
// that escape it are the caller's to report.
int RunEntrySequence(int argc, wchar_t** argv);

}  // namespace nudgelet::app
