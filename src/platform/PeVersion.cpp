#include "platform/PeVersion.h"

#include <algorithm>

#include "base/ByteOrder.h"

namespace nudgelet::platform {
namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
// A version resource is a few kilobytes; anything larger is not one.
constexpr std::size_t kMaxVersionResource = 1u << 20;

class Image {
 public:
  explicit Image(const ReadBytesAt& read) : read_(read) {}

  bool Open() {
    const auto headers = ReadPeHeaders(read_);
    if (!headers) return false;
    auto layout = ReadPeResourceLayout(read_, *headers);
    if (!layout) return false;
    resourceRva_ = layout->resourceRva;
    sections_ = std::move(layout->sections);
    return true;
  }

  // Bytes at a virtual address, as far as the file holds them.
  std::vector<std::uint8_t> AtRva(std::uint32_t rva, std::size_t count) const {
    for (const PeSection& s : sections_) {
      const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
      if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
        const std::uint32_t into = rva - s.virtualAddress;
        if (into >= s.rawSize) return {};
        return read_(std::uint64_t{s.rawOffset} + into, std::min<std::size_t>(count, s.rawSize - into));
      }
    }
    return {};
  }

  // The data offset (relative to the resource section) of an entry with that id,
  // or of the first entry when id is 0.
  std::optional<std::uint32_t> Entry(std::uint32_t directory, std::uint32_t id, bool wantSubdirectory) const {
    const auto head = AtRva(resourceRva_ + directory, 16);
    if (head.size() < 16) return std::nullopt;
    const std::uint32_t count = ReadLe16At(head, 12) + ReadLe16At(head, 14);
    if (count == 0 || count > 4096) return std::nullopt;
    const auto entries = AtRva(resourceRva_ + directory + 16, count * 8u);
    for (std::uint32_t i = 0; i < count && (i + 1) * 8 <= entries.size(); ++i) {
      const std::uint32_t name = ReadLe32At(entries, i * 8);
      const std::uint32_t offset = ReadLe32At(entries, i * 8 + 4);
      const bool subdirectory = (offset & 0x80000000u) != 0;
      if (subdirectory != wantSubdirectory) continue;
      if (id == 0 || (!(name & 0x80000000u) && name == id)) return offset & 0x7FFFFFFFu;
    }
    return std::nullopt;
  }

  std::uint32_t ResourceRva() const { return resourceRva_; }

 private:
  const ReadBytesAt& read_;
  std::uint32_t resourceRva_ = 0;
  std::vector<PeSection> sections_;
};

}  // namespace

std::optional<FileVersion> ReadPeFileVersion(const ReadBytesAt& read) {
  Image image(read);
  if (!image.Open()) return std::nullopt;
  // type (RT_VERSION) -> first name -> first language -> data entry
  const auto names = image.Entry(0, kRtVersion, true);
  if (!names) return std::nullopt;
  const auto languages = image.Entry(*names, 0, true);
  if (!languages) return std::nullopt;
  const auto dataEntry = image.Entry(*languages, 0, false);
  if (!dataEntry) return std::nullopt;
  const auto entry = image.AtRva(image.ResourceRva() + *dataEntry, 16);
  if (entry.size() < 8) return std::nullopt;
  const std::uint32_t size = ReadLe32At(entry, 4);
  if (size == 0 || size > kMaxVersionResource) return std::nullopt;
  const auto data = image.AtRva(ReadLe32At(entry, 0), size);
  // VS_VERSIONINFO: the fixed part follows the key L"VS_VERSION_INFO", 32-bit aligned.
  for (std::size_t at = 0; at + 52 <= data.size(); at += 4) {
    if (ReadLe32At(data, at) != kFixedInfoSignature) continue;
    const std::uint32_t ms = ReadLe32At(data, at + 8);
    const std::uint32_t ls = ReadLe32At(data, at + 12);
    return FileVersion{static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
                       static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
  }
  return std::nullopt;
}

}  // namespace nudgelet::platform
