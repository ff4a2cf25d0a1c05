#pragma once
// A registry value as Windows stores it: a type and raw little-endian bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nudgelet::platform {

// The numeric values are Windows' REG_* type codes.
enum class RegistryValueType : std::uint32_t {
  None = 0,
  String = 1,
  ExpandString = 2,
  Binary = 3,
  Dword = 4,
  DwordBigEndian = 5,
  Link = 6,
  MultiString = 7,
  ResourceList = 8,
  FullResourceDescriptor = 9,
  ResourceRequirementsList = 10,
  Qword = 11,
};

// Values larger than this are treated as absent: no value the product reads is
// anywhere near it, and a hostile or corrupt one must not cost memory.
inline constexpr std::size_t kMaxRegistryValueBytes = 1u << 20;

struct RegistryValue {
  RegistryValueType type = RegistryValueType::None;
  std::vector<std::uint8_t> data;

  static RegistryValue FromString(const std::wstring& text, RegistryValueType type = RegistryValueType::String);
  static RegistryValue FromDword(std::uint32_t value);
  static RegistryValue FromQword(std::uint64_t value);

  bool operator==(const RegistryValue&) const = default;
};

// Any registry value as text:
//   string and expand string (not expanded), link: the UTF-16 text up to the first NUL;
//   multi string: its strings joined with CR LF;
//   dword (either byte order) and qword: unsigned decimal;
//   anything else: upper-case hexadecimal digits of the bytes, two per byte.
std::wstring RegistryValueAsText(const RegistryValue& value);

// The value of a REG_DWORD of exactly four bytes.
std::optional<std::uint32_t> RegistryValueAsDword(const RegistryValue& value);

}  // namespace nudgelet::platform
