#pragma once
// Puts the tip window on the screen: the skin, the window toolkit, the
// detection and the system services the window asks for, wired together.

#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace nudgelet::app::win32 {

// Creates the tip window (its creation runs the detection and may end the
// process), shows it and runs the message loop; the window's close ends the
// process. Returns only when there is no window to show: the skin cannot be
// read, or the form text is damaged.
int RunTipWindow(const platform::Platform& p, HWND applicationWindow, const std::wstring& programFolder);

}  // namespace nudgelet::app::win32
