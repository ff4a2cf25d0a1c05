// libFuzzer target for PNG decoding: skin pictures and the icons of the update
// list come from files anyone can replace. Any bytes decode to a bitmap within
// the size limit or to nothing; a bitmap holds only premultiplied pixels; and
// what was decoded, encoded again, decodes to the very same pixels.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "base/Bitmap.h"
#include "skin/PngImage.h"

using nudgelet::fuzz::Check;

namespace {

// The pixel count the header claims, when the first chunk is a header.
std::uint64_t ClaimedPixels(const std::uint8_t* data, std::size_t size) {
  if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return 0;
  auto be32 = [&](std::size_t at) {
    return std::uint64_t{data[at]} << 24 | std::uint64_t{data[at + 1]} << 16 | std::uint64_t{data[at + 2]} << 8 |
           data[at + 3];
  };
  return be32(16) * be32(20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Pictures between a megapixel and the limit decode the way smaller ones do,
  // only a hundred times slower under the sanitizers: they would starve the
  // fuzzer. Beyond the limit they are refused before anything is allocated,
  // and those stay in.
  const std::uint64_t claimed = ClaimedPixels(data, size);
  if (claimed > (1u << 20) && claimed <= nudgelet::Bitmap::kMaxPixels) return 0;
  const std::vector<std::uint8_t> bytes(data, data + size);
  const auto bitmap = nudgelet::DecodePng(bytes);
  nudgelet::skin::TPngImage image;
  Check(image.LoadFromPng(bytes) == bitmap.has_value());
  if (!bitmap) {
    Check(image.Width() == 0 && image.Height() == 0 && !image.Source());
    return 0;
  }
  Check(!bitmap->Empty());
  Check(static_cast<std::uint64_t>(bitmap->Width()) * bitmap->Height() <= nudgelet::Bitmap::kMaxPixels);
  Check(image.Width() == bitmap->Width() && image.Height() == bitmap->Height());
  for (const std::uint32_t pixel : bitmap->Pixels()) {
    const std::uint32_t alpha = pixel >> 24;
    Check(((pixel >> 16) & 0xFF) <= alpha && ((pixel >> 8) & 0xFF) <= alpha && (pixel & 0xFF) <= alpha);
  }
  const auto again = nudgelet::DecodePng(nudgelet::EncodePng(*bitmap));
  Check(again && again->Width() == bitmap->Width() && again->Height() == bitmap->Height() &&
        again->Pixels() == bitmap->Pixels());
  return 0;
}
