#pragma once
#include <windows.h>

namespace nudgelet::app::win32 {

// The program's hidden application window: owner of its forms, so that none of
// them gets a taskbar button of its own. It is never shown.
HWND CreateApplicationWindow(HINSTANCE instance);

// No taskbar button and no Alt+Tab entry for the application window.
void MakeToolWindow(HWND applicationWindow);

}  // namespace nudgelet::app::win32
