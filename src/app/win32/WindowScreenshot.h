#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace nudgelet::app::win32 {

// A PNG of the screen area that this process's visible top-level windows
// cover, as the screen shows it now; the primary screen when the process has
// no such window yet. False, and no file, when the picture cannot be taken.
bool SaveProcessWindowsScreenshot(const platform::FileSystem& files, const std::wstring& path);

}  // namespace nudgelet::app::win32
