#include "platform/RegistryValue.h"

#include <gtest/gtest.h>

namespace nudgelet::platform {
namespace {

RegistryValue Raw(RegistryValueType type, std::vector<std::uint8_t> data) { return {type, std::move(data)}; }

TEST(RegistryValueAsText, StringsStopAtTheFirstNul) {
  EXPECT_EQ(RegistryValueAsText(RegistryValue::FromString(L"C:\\App")), L"C:\\App");
  EXPECT_EQ(RegistryValueAsText(RegistryValue::FromString(L"%ProgramFiles%\\x", RegistryValueType::ExpandString)),
            L"%ProgramFiles%\\x");  // never expanded
  // Stored without terminator, with junk after an embedded NUL, or with an odd byte count.
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::String, {'1', 0, '.', 0, '2', 0})), L"1.2");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::String, {'a', 0, 0, 0, 'b', 0})), L"a");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::String, {'a', 0, 'b'})), L"a");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::String, {})), L"");
}

TEST(RegistryValueAsText, MultiStringJoinsItsLines) {
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::MultiString, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})), L"a\r\nb");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::MultiString, {0, 0})), L"");
}

TEST(RegistryValueAsText, NumbersAreUnsignedDecimal) {
  EXPECT_EQ(RegistryValueAsText(RegistryValue::FromDword(0xFFFFFFFFu)), L"4294967295");
  EXPECT_EQ(RegistryValueAsText(RegistryValue::FromQword(1234567890123ull)), L"1234567890123");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::DwordBigEndian, {0, 0, 1, 0})), L"256");
  // A dword of the wrong size is shown as its bytes.
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::Dword, {1, 2})), L"0102");
}

TEST(RegistryValueAsText, OtherTypesAreHexDigits) {
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::Binary, {0x00, 0xAB, 0x7F})), L"00AB7F");
  EXPECT_EQ(RegistryValueAsText(Raw(RegistryValueType::None, {})), L"");
}

TEST(RegistryValueAsDword, OnlyRealDwords) {
  EXPECT_EQ(RegistryValueAsDword(RegistryValue::FromDword(7)), 7u);
  EXPECT_FALSE(RegistryValueAsDword(RegistryValue::FromString(L"7")));
  EXPECT_FALSE(RegistryValueAsDword(Raw(RegistryValueType::Dword, {7})));
}

}  // namespace
}  // namespace nudgelet::platform
