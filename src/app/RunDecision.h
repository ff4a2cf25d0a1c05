#pragma once
// The cheap checks that decide, before any work, whether a reminder may run.

#include <string>

#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/SystemFacts.h"

namespace nudgelet::app {

enum class LaunchMode {
  Tip,        // "/Tip", exactly: the product asks for a reminder
  CrashTest,  // "\TESTERRORTEST" in any letter case: exercises crash reporting
  Other,      // anything else, or nothing: end without showing anything
};

LaunchMode ClassifyLaunch(int argc, const wchar_t* const* argv);

// The first running program, in this order, that rules a reminder out: while
// the product itself or its siblings run, the tip is never shown. Empty when none runs.
std::wstring FindCompetingProcess(const platform::Processes& processes);

// A window covers the whole primary screen exactly (left and top 0, right and
// bottom the screen's width and height).
bool CoversWholeScreen(const Rect& window, platform::Size screen);

// The desktop's own windows never count as a full-screen program.
bool IsDesktopWindowClass(const std::wstring& className);

// [Software] "AutoUpdate" of the per-user Main.ini is exactly "0" (the
// default): the product does not update by itself, so a reminder is wanted.
// A file that cannot be read answers no: the product may be updating.
bool IsAutoUpdateOff(const platform::FileSystem& files, const std::wstring& mainIniPath);

}  // namespace nudgelet::app
