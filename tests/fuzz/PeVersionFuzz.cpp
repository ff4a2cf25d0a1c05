// libFuzzer target for the version resources of executables: detection reads
// whatever file an uninstall entry or the update database names, so no header,
// section table or resource directory may do more than make the reader answer
// "no version". Counts and sizes in the file must not turn into huge requests
// or endless walks, and a version can only come from a fixed-info block that is
// really there.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "platform/PeVersion.h"

using nudgelet::fuzz::Check;
using namespace nudgelet::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int reads = 0;
  const ReadBytesAt read = [&](std::uint64_t offset, std::size_t count) {
    ++reads;
    // Nothing the reader looks for is larger than a version resource (1 MiB).
    Check(count <= (1u << 20));
    if (offset >= size) return std::vector<std::uint8_t>{};
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset));
    return std::vector<std::uint8_t>(data + offset, data + offset + n);
  };

  const auto headers = ReadPeHeaders(read);
  if (headers && headers->hasSignatures) Check(size >= 2 && data[0] == 'M' && data[1] == 'Z');
  Check(reads <= 2);

  reads = 0;
  const auto version = ReadPeFileVersion(read);
  // Headers, layout, three directory levels and the data: a fixed number of reads.
  Check(reads <= 16);
  if (version) {
    // Some fixed-info block in the file holds exactly that version.
    static const std::uint8_t kSignature[] = {0xBD, 0x04, 0xEF, 0xFE};
    bool found = false;
    for (const std::uint8_t* at = data; !found; ++at) {
      at = std::search(at, data + size, kSignature, kSignature + 4);
      if (at == data + size) break;
      if (data + size - at < 16) continue;
      auto half = [&](int i) { return static_cast<std::uint16_t>(at[i] | (at[i + 1] << 8)); };
      found = *version == FileVersion{half(10), half(8), half(14), half(12)};
    }
    Check(found);
  }
  return 0;
}
