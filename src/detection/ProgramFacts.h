#pragma once
// Facts about installed programs and the running system that matching needs.

#include <string>

#include "detection/SoftViewInfo.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

enum class MachineKind { I386, X64, Itanium, Other };

// From the executable's PE file header; Other for anything unreadable.
MachineKind ExecutableMachineKind(const platform::FileSystem& files, const std::wstring& path);

// The system's bit in the database's OsType mask: 1 before Vista, 2 Vista, 4 7,
// 8 8, 16 8.1, 32 10 and later (also for versions the mask does not list).
int WindowsVersionMask(platform::OsVersion version);

// "major.minor.release.build" of the executable's version resource, or fallback.
std::wstring FileVersionText(const platform::FileSystem& files, const std::wstring& path,
                             const std::wstring& fallback = L"Unknown");

// Some products ship one installer per language; only English editions are offered.
bool IsEnglishEdition(const platform::Platform& p, const TSoftViewInfo& record);

}  // namespace nudgelet::detection
