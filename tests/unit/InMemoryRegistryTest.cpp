#include "platform/InMemoryRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace nudgelet::platform {
namespace {

using ::testing::ElementsAre;

TEST(InMemoryRegistry, KeysAndValuesAreFoundWithoutRegardToCase) {
  InMemoryRegistry reg;
  reg.SetValue(RegistryRoot::CurrentUser, L"Software\\Corvane", L"Name", RegistryValue::FromString(L"x"));
  auto key = reg.OpenReadOnly(RegistryRoot::CurrentUser, L"\\SOFTWARE\\corvane", RegistryView::Default);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadText(L"NAME"), L"x");
  EXPECT_THAT(key->ValueNames(), ElementsAre(L"Name"));
  EXPECT_FALSE(key->ReadText(L"Other"));
  EXPECT_FALSE(reg.OpenReadOnly(RegistryRoot::LocalMachine, L"Software\\Corvane", RegistryView::Default));
}

TEST(InMemoryRegistry, SubKeysComeInCaseInsensitiveOrder) {
  InMemoryRegistry reg;
  for (const wchar_t* name : {L"beta", L"Alpha", L"gamma", L"ALPHA2"}) {
    reg.CreateKey(RegistryRoot::LocalMachine, std::wstring(L"SOFTWARE\\U\\") + name);
  }
  auto key = reg.OpenReadOnly(RegistryRoot::LocalMachine, L"SOFTWARE\\U", RegistryView::Bits64);
  ASSERT_TRUE(key);
  EXPECT_THAT(key->SubKeyNames(), ElementsAre(L"Alpha", L"ALPHA2", L"beta", L"gamma"));
}

TEST(InMemoryRegistry, ThirtyTwoBitViewOfSoftwareIsWow6432Node) {
  InMemoryRegistry reg;
  reg.SetValue(RegistryRoot::LocalMachine, L"SOFTWARE\\WOW6432Node\\App", L"v", RegistryValue::FromString(L"32"));
  reg.SetValue(RegistryRoot::LocalMachine, L"SOFTWARE\\App", L"v", RegistryValue::FromString(L"64"));
  reg.SetValue(RegistryRoot::CurrentUser, L"Software\\App", L"v", RegistryValue::FromString(L"user"));
  const auto v = [&](RegistryRoot root, const wchar_t* path, RegistryView view) {
    return reg.OpenReadOnly(root, path, view)->ReadText(L"v");
  };
  EXPECT_EQ(v(RegistryRoot::LocalMachine, L"SOFTWARE\\App", RegistryView::Bits32), L"32");
  EXPECT_EQ(v(RegistryRoot::LocalMachine, L"SOFTWARE\\App", RegistryView::Bits64), L"64");
  EXPECT_EQ(v(RegistryRoot::LocalMachine, L"Software\\App", RegistryView::Default), L"64");
  // Naming WOW6432Node explicitly reaches the same key from either view.
  EXPECT_EQ(v(RegistryRoot::LocalMachine, L"SOFTWARE\\WOW6432Node\\App", RegistryView::Bits32), L"32");
  // The current user's keys are shared by both views.
  EXPECT_EQ(v(RegistryRoot::CurrentUser, L"Software\\App", RegistryView::Bits32), L"user");
  // Subkeys opened from an open key follow its view.
  const auto software32 = reg.OpenReadOnly(RegistryRoot::LocalMachine, L"SOFTWARE", RegistryView::Bits32);
  EXPECT_EQ(software32->OpenSubKey(L"app")->ReadText(L"v"), L"32");
  EXPECT_FALSE(software32->OpenSubKey(L"Missing"));
  const auto software64 = reg.OpenReadOnly(RegistryRoot::LocalMachine, L"SOFTWARE", RegistryView::Bits64);
  EXPECT_EQ(software64->OpenSubKey(L"App")->ReadText(L"v"), L"64");
}

TEST(InMemoryRegistry, OpenKeysSurviveDeletion) {
  InMemoryRegistry reg;
  reg.SetValue(RegistryRoot::Users, L"a\\b", L"v", RegistryValue::FromDword(5));
  auto key = reg.OpenReadOnly(RegistryRoot::Users, L"a\\b", RegistryView::Default);
  reg.DeleteKey(RegistryRoot::Users, L"A");
  EXPECT_FALSE(reg.OpenReadOnly(RegistryRoot::Users, L"a\\b", RegistryView::Default));
  EXPECT_EQ(key->ReadDword(L"v"), 5u);
}

TEST(InMemoryRegistry, KeysNestedDeeperThanAnyStackComeAndGo) {
  std::wstring half = L"d";
  for (int i = 1; i < 100000; ++i) half += L"\\d";
  const std::wstring path = half + L"\\" + half;
  std::unique_ptr<RegistryKey> middle;
  {
    InMemoryRegistry reg;
    reg.SetValue(RegistryRoot::CurrentUser, path, L"v", RegistryValue::FromDword(7));
    middle = reg.OpenReadOnly(RegistryRoot::CurrentUser, half, RegistryView::Default);
    ASSERT_TRUE(middle);
    reg.DeleteKey(RegistryRoot::CurrentUser, L"d");
    EXPECT_FALSE(reg.OpenReadOnly(RegistryRoot::CurrentUser, L"d", RegistryView::Default));
  }
  // The key still open keeps what lies below it, until it goes too.
  EXPECT_TRUE(middle->OpenSubKey(L"d"));
  middle.reset();
}

TEST(InMemoryRegistry, OversizedValuesReadAsMissing) {
  InMemoryRegistry reg;
  RegistryValue huge{RegistryValueType::Binary, std::vector<std::uint8_t>(kMaxRegistryValueBytes + 1, 0x41)};
  reg.SetValue(RegistryRoot::CurrentUser, L"k", L"big", huge);
  EXPECT_FALSE(reg.OpenReadOnly(RegistryRoot::CurrentUser, L"k", RegistryView::Default)->ReadValue(L"big"));
}

}  // namespace
}  // namespace nudgelet::platform
