#include "platform/PeHeader.h"

#include "base/ByteOrder.h"

namespace nudgelet::platform {
namespace {

constexpr std::size_t kDosHeader = 64;
constexpr std::size_t kSignatureAndFileHeader = 4 + 20;
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::size_t kSectionEntry = 40;
constexpr std::uint32_t kMaxSections = 96;

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(const ReadBytesAt& read) {
  const auto dos = read(0, kDosHeader);
  if (dos.size() < kDosHeader) return std::nullopt;
  PeHeaders h;
  h.headerOffset = ReadLe32At(dos, 60);
  const auto file = read(h.headerOffset, kSignatureAndFileHeader);
  if (file.size() < kSignatureAndFileHeader) return std::nullopt;
  h.hasSignatures = dos[0] == 'M' && dos[1] == 'Z' && ReadLe32At(file, 0) == kPeSignature;
  h.machine = static_cast<std::uint16_t>(ReadLe16At(file, 4));
  h.sectionCount = static_cast<std::uint16_t>(ReadLe16At(file, 6));
  h.optionalHeaderSize = static_cast<std::uint16_t>(ReadLe16At(file, 20));
  return h;
}

std::optional<PeResourceLayout> ReadPeResourceLayout(const ReadBytesAt& read, const PeHeaders& h) {
  if (!h.hasSignatures || h.sectionCount == 0 || h.sectionCount > kMaxSections) return std::nullopt;
  const std::uint64_t optional = std::uint64_t{h.headerOffset} + kSignatureAndFileHeader;
  // The magic, then the data directories, whose position depends on it; the
  // resource directory is the third.
  const auto header = read(optional, 240);
  const std::uint32_t magic = ReadLe16At(header, 0);
  const std::size_t directories = magic == 0x20B ? 112 : magic == 0x10B ? 96 : 0;
  if (!directories) return std::nullopt;
  PeResourceLayout layout;
  layout.resourceRva = ReadLe32At(header, directories + 2 * 8);
  if (layout.resourceRva == 0) return std::nullopt;
  const auto table = read(optional + h.optionalHeaderSize, h.sectionCount * kSectionEntry);
  for (std::size_t i = 0; i < h.sectionCount && (i + 1) * kSectionEntry <= table.size(); ++i) {
    const std::size_t at = i * kSectionEntry;
    layout.sections.push_back({ReadLe32At(table, at + 12), ReadLe32At(table, at + 8), ReadLe32At(table, at + 16),
                               ReadLe32At(table, at + 20)});
  }
  return layout;
}

}  // namespace nudgelet::platform
