#pragma once
// What matching reads from an installed program's main executable.

#include <string>

#include "platform/FileSystem.h"

namespace nudgelet::detection {

enum class MachineKind { I386, X64, Itanium, Other };

// From the executable's PE file header; Other for anything unreadable.
MachineKind ExecutableMachineKind(const platform::FileSystem& files, const std::wstring& path);

// "major.minor.release.build" of the executable's version resource, or fallback.
std::wstring FileVersionText(const platform::FileSystem& files, const std::wstring& path,
                             const std::wstring& fallback = L"Unknown");

}  // namespace nudgelet::detection
