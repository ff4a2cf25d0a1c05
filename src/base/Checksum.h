#pragma once
// A 64-bit checksum of the program's own files, to tell a whole file from a
// damaged or cut one. It guards against accidents, not against a hand that
// means harm: readers still check every field. It needs no crypto library,
// which the program then need not load at all on most runs.

#include <cstddef>
#include <cstdint>

namespace nudgelet {

std::uint64_t Checksum64(const std::uint8_t* data, std::size_t size);

inline constexpr std::size_t kChecksumSize = 8;

}  // namespace nudgelet
