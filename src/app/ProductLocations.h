#pragma once
// Where the product lives: its installation folder, its per-user data folder,
// its version, and the shell's special folders with their fallbacks.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::app {

// The product's uninstall entry under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kProductUninstallKey[] =
    L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Patchwell Hub_is1";

// The shell's folder for a CSIDL, never created. When the shell answers fewer
// than three characters for one of the folders the product cannot do without,
// the folder comes from its environment variable or is built on the system drive.
std::wstring GetSpecialFolder(const platform::Platform& p, int csidl);

// Roaming application data + "\Corvane\Patchwell Hub\".
std::wstring GetUserDataFolder(const platform::Platform& p);
// The per-user Main.ini.
std::wstring GetMainIniPath(const platform::Platform& p);
// "InstallLocation" of the uninstall entry with a trailing backslash, else the
// program-files folder + "\Corvane\Patchwell Hub\".
std::wstring GetInstallFolder(const platform::Platform& p);
// "DisplayVersion" of the uninstall entry, else the file version of
// "PatchwellHub.exe" in the current folder, else "Unknown Version".
std::wstring GetProductVersion(const platform::Platform& p);

}  // namespace nudgelet::app
