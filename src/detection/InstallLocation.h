#pragma once
// Turning the uninstall registry's command lines and paths into install folders.

#include <string>

#include "detection/SoftInfo.h"
#include "platform/AppFrame.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

// Strips quotes, "\??\" and doubled backslashes, expands path macros and removes
// the launchers an uninstall command may hold (RUNDLL, ST6UNST, DPINST); the
// result when it names an existing folder, else empty.
std::wstring CleanInstallLocation(const platform::Platform& p, const platform::TAppFrame& frame,
                                  const std::wstring& path);

// The folder of the uninstaller (or of the icon, for toolbars and entries
// without an uninstall command), when it exists and is a usable folder; else empty.
std::wstring InstallFolderFromUninstall(const platform::Platform& p, const platform::TAppFrame& frame,
                                        const TSoftInfo& record);

// Drive roots, folders with "%", the user's desktop, Start menu and recent
// folders, and the system and Windows folders are nobody's install folder.
bool IsUsableFolder(const platform::Platform& p, const std::wstring& folder);

}  // namespace nudgelet::detection
