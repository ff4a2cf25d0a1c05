#pragma once
// The product's per-user folder and its settings file, shared by every program
// of the product that reads the user's settings.

#include <string>

#include "platform/Platform.h"

namespace nudgelet {

// Roaming application data + "\Corvane\Patchwell Hub\".
std::wstring GetUserDataFolder(const platform::Platform& p);
// The per-user Main.ini.
std::wstring GetMainIniPath(const platform::Platform& p);

}  // namespace nudgelet
