#pragma once
// Where the product lives: its installation folder and its version.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::app {

// The product's uninstall entry under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kProductUninstallKey[] =
    L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Patchwell Hub_is1";

// "InstallLocation" of the uninstall entry with a trailing backslash, else the
// program-files folder + "\Corvane\Patchwell Hub\".
std::wstring GetInstallFolder(const platform::Platform& p);
// "DisplayVersion" of the uninstall entry, else the file version of
// "PatchwellHub.exe" in the current folder, else "Unknown Version".
std::wstring GetProductVersion(const platform::Platform& p);

}  // namespace nudgelet::app
