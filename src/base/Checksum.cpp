#include "base/Checksum.h"

#include "base/ByteOrder.h"

namespace nudgelet {
namespace {

// The rounds of xxHash64: four lanes over 32-byte stripes, so that a few
// megabytes take a millisecond or two.
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

constexpr std::uint64_t Rotate(std::uint64_t v, int bits) { return (v << bits) | (v >> (64 - bits)); }
constexpr std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
  return Rotate(lane + word * kPrime2, 31) * kPrime1;
}
constexpr std::uint64_t Merge(std::uint64_t hash, std::uint64_t lane) {
  return (hash ^ Round(0, lane)) * kPrime1 + kPrime4;
}

}  // namespace

std::uint64_t Checksum64(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* p = data;
  const std::uint8_t* const end = data + size;
  std::uint64_t hash;
  if (size >= 32) {
    std::uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    for (; end - p >= 32; p += 32) {
      for (int i = 0; i < 4; ++i) lanes[i] = Round(lanes[i], ReadLe64(p + 8 * i));
    }
    hash = Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) + Rotate(lanes[3], 18);
    for (const std::uint64_t lane : lanes) hash = Merge(hash, lane);
  } else {
    hash = kPrime5;
  }
  hash += size;
  for (; end - p >= 8; p += 8) hash = Rotate(hash ^ Round(0, ReadLe64(p)), 27) * kPrime1 + kPrime4;
  for (; end - p >= 4; p += 4) hash = Rotate(hash ^ (ReadLe32(p) * kPrime1), 23) * kPrime2 + kPrime3;
  for (; p < end; ++p) hash = Rotate(hash ^ (*p * kPrime5), 11) * kPrime1;
  hash ^= hash >> 33;
  hash *= kPrime2;
  hash ^= hash >> 29;
  hash *= kPrime3;
  return hash ^ (hash >> 32);
}

}  // namespace nudgelet
