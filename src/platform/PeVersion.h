#pragma once
// The fixed file version of a Windows executable, read from its version
// resource without the system's help (the native build inspects Windows files
// too). Only the bytes asked for are read.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/FileSystem.h"

namespace nudgelet::platform {

// Reads up to count bytes at offset; fewer at the end of the file.
using ReadBytesAt = std::function<std::vector<std::uint8_t>(std::uint64_t offset, std::size_t count)>;

// nullopt for files that are no PE image or carry no version resource.
std::optional<FileVersion> ReadPeFileVersion(const ReadBytesAt& read);

}  // namespace nudgelet::platform
