// libFuzzer target: the database's icon files and their hexadecimal text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "detection/IconFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nudgelet::detection::DecodeIconFile(data, size);
  if (size % 2 == 0) {
    std::wstring hex;
    for (std::size_t i = 0; i + 1 < size && hex.size() < 4096; i += 2)
      hex.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    nudgelet::detection::DecodeHexText(hex);
  }
  return 0;
}
