#pragma once
// Fixed-width fields of binary formats. The pointer forms trust the caller to
// have checked the bounds; the span forms answer 0 for a field that does not
// fit, which is what a reader of damaged files wants from a header field.

#include <cstddef>
#include <cstdint>
#include <span>

namespace nudgelet {

inline std::uint16_t ReadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t ReadLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
inline std::uint64_t ReadLe64(const std::uint8_t* p) { return ReadLe32(p) | (std::uint64_t{ReadLe32(p + 4)} << 32); }
inline std::uint16_t ReadBe16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
inline std::uint32_t ReadBe32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

inline std::uint16_t ReadLe16At(std::span<const std::uint8_t> b, std::size_t at) {
  return at <= b.size() && b.size() - at >= 2 ? ReadLe16(b.data() + at) : 0;
}
inline std::uint32_t ReadLe32At(std::span<const std::uint8_t> b, std::size_t at) {
  return at <= b.size() && b.size() - at >= 4 ? ReadLe32(b.data() + at) : 0;
}

}  // namespace nudgelet
