#include "detection/ExecutableFacts.h"

#include "platform/PeHeader.h"

namespace nudgelet::detection {

MachineKind ExecutableMachineKind(const platform::FileSystem& files, const std::wstring& path) {
  // Only the file header counts: a file whose signatures are off is still
  // told by its machine field, as the product always did.
  const auto headers = platform::ReadPeHeaders(
      [&](std::uint64_t offset, std::size_t count) { return files.ReadFilePart(path, offset, count).bytes; });
  if (!headers) return MachineKind::Other;
  switch (headers->machine) {
    case 0x014C:
      return MachineKind::I386;
    case 0x8664:
      return MachineKind::X64;
    case 0x0200:
      return MachineKind::Itanium;
    default:
      return MachineKind::Other;
  }
}

std::wstring FileVersionText(const platform::FileSystem& files, const std::wstring& path,
                             const std::wstring& fallback) {
  const auto v = files.FixedFileVersion(path);
  if (!v) return fallback;
  return std::to_wstring((*v)[0]) + L'.' + std::to_wstring((*v)[1]) + L'.' + std::to_wstring((*v)[2]) + L'.' +
         std::to_wstring((*v)[3]);
}

}  // namespace nudgelet::detection
