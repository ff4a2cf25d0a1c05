#pragma once
#include <windows.h>

#include "platform/SystemFacts.h"

namespace nudgelet::app::win32 {

// Takes a window's button off the taskbar through the shell's taskbar list.
void RemoveTaskbarButton(HWND window, const platform::SystemFacts& system);

}  // namespace nudgelet::app::win32
