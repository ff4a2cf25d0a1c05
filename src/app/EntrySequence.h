#pragma once

namespace nudgelet::app {

// Runs the program from its command line; returns the process exit code.
int RunEntrySequence(int argc, wchar_t** argv);

}  // namespace nudgelet::app
