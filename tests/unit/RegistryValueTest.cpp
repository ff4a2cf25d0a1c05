#include "platform/RegistryValue.h"

#include <gtest/gtest.h>

namespace nudgelet::platform {
namespace {

TEST(RegistryValueAsText, EveryTypeAsTheInventoryReadsIt) {
  using T = RegistryValueType;
  const struct {
    RegistryValue value;
    const wchar_t* text;
  } cases[] = {
      {RegistryValue::FromString(L"C:\\App"), L"C:\\App"},
      {RegistryValue::FromString(L"%ProgramFiles%\\x", T::ExpandString), L"%ProgramFiles%\\x"},  // never expanded
      // Strings stop at the first NUL: without terminator, junk after it, an odd byte count.
      {{T::String, {'1', 0, '.', 0, '2', 0}}, L"1.2"},
      {{T::String, {'a', 0, 0, 0, 'b', 0}}, L"a"},
      {{T::String, {'a', 0, 'b'}}, L"a"},
      {{T::String, {}}, L""},
      {{T::MultiString, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}, L"a\r\nb"},
      {{T::MultiString, {0, 0}}, L""},
      // Numbers are unsigned decimal; a dword of the wrong size shows its bytes.
      {RegistryValue::FromDword(0xFFFFFFFFu), L"4294967295"},
      {RegistryValue::FromQword(1234567890123ull), L"1234567890123"},
      {{T::DwordBigEndian, {0, 0, 1, 0}}, L"256"},
      {{T::Dword, {1, 2}}, L"0102"},
      {{T::Binary, {0x00, 0xAB, 0x7F}}, L"00AB7F"},
      {{T::None, {}}, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(RegistryValueAsText(c.value), c.text) << c.text;
}

TEST(RegistryValueAsDword, OnlyRealDwords) {
  EXPECT_EQ(RegistryValueAsDword(RegistryValue::FromDword(7)), 7u);
  EXPECT_FALSE(RegistryValueAsDword(RegistryValue::FromString(L"7")));
  EXPECT_FALSE(RegistryValueAsDword({RegistryValueType::Dword, {7}}));
}

}  // namespace
}  // namespace nudgelet::platform
