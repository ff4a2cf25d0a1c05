#pragma once
// Where the library keeps its data for the current user, and the user's choice
// to switch statistics off.

#include <string>

namespace nudgelet::usagecounter {

// The product's per-user folder, as every program of the product finds it,
// without trailing backslash.
std::wstring ProductUserFolder();

// The folder of the event cache: ProductUserFolder() + "\Stat".
std::wstring DefaultCacheFolder();

// The user's settings file, ProductUserFolder() + "\Main.ini".
std::wstring UserSettingsFile();

// True when the settings file has [Stat] Disabled=1. A missing file or key
// leaves statistics on.
bool IsStatisticsDisabled(const std::wstring& settingsFile);

}  // namespace nudgelet::usagecounter
