#pragma once
// The fixed file version of a Windows executable, read from its version
// resource without the system's help (the native build inspects Windows files
// too). Only the bytes asked for are read.

#include <optional>

#include "platform/FileSystem.h"
#include "platform/PeHeader.h"

namespace nudgelet::platform {

// nullopt for files that are no PE image or carry no version resource.
std::optional<FileVersion> ReadPeFileVersion(const ReadBytesAt& read);

}  // namespace nudgelet::platform
