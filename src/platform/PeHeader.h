#pragma once
// The headers of a Windows executable (PE image), read from its bytes without
// the system's help: the native build inspects Windows files too. Only the
// bytes asked for are read.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace nudgelet::platform {

// Reads up to count bytes at offset; fewer at the end of the file.
using ReadBytesAt = std::function<std::vector<std::uint8_t>(std::uint64_t offset, std::size_t count)>;

struct PeSection {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

struct PeHeaders {
  // Where the 32-bit offset at byte 60 points: the "PE\0\0" signature, then
  // the 20-byte file header.
  std::uint32_t headerOffset = 0;
  // "MZ" at the start and "PE\0\0" at headerOffset. Telling an executable's
  // machine only takes the file header, so a reader may ask no more.
  bool hasSignatures = false;
  std::uint16_t machine = 0;
  std::uint16_t sectionCount = 0;
  std::uint16_t optionalHeaderSize = 0;
};

// The DOS header and the file header; nullopt when the file is too short to
// hold them where the DOS header says.
std::optional<PeHeaders> ReadPeHeaders(const ReadBytesAt& read);

// What locating a resource needs beyond the file header: the resource
// directory's address and the section table. nullopt for anything but a signed
// PE32 or PE32+ image with a resource directory and 1 to 96 sections.
struct PeResourceLayout {
  std::uint32_t resourceRva = 0;
  std::vector<PeSection> sections;
};
std::optional<PeResourceLayout> ReadPeResourceLayout(const ReadBytesAt& read, const PeHeaders& headers);

}  // namespace nudgelet::platform
