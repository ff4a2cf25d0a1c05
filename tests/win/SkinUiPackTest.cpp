// The package store through the real uipack.dll, with the product's skins as
// they lie beside the program: the library is found by plain name, reused when
// the process holds it already, and freed only when the store loaded it.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/SystemPlatform.h"
#include "skin/PackageStore.h"
#include "skin/UiPackSource.h"
#include "skin/win32/SystemColors.h"

namespace nudgelet::skin {
namespace {

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

const platform::DynamicLibraries& Libraries() { return platform::win32::SystemPlatform().libraries; }

TEST(SkinThroughUiPackDll, TheProductSkinResolvesAndTheLibraryIsFreedAfterwards) {
  // However the package file is spelt, it is the same skin.
  for (const wchar_t* spelt : {L"classic.rcc", L"Classic.rcc"}) {
    ASSERT_EQ(::GetModuleHandleW(L"uipack.dll"), nullptr);
    UiPackSource source(Libraries());
    PackageStore store(source, platform::win32::SystemPlatform().files, ExeFolder() + L"skin");
    store.RegisterPackage(store.SkinPath() + L"public.rcc", true);
    store.RegisterPackage(store.SkinPath() + spelt, false);
    ASSERT_TRUE(source.Loaded());
    EXPECT_TRUE(source.Owned());
    EXPECT_NE(::GetModuleHandleW(L"uipack.dll"), nullptr);

    EXPECT_EQ(store.SkinName(), L"classic");
    const auto picture = store.LoadPicture(L"images/btn_close_normal.png");
    EXPECT_EQ(picture->Image()->Width(), 30);
    const auto& colors = store.Colors();
    EXPECT_EQ(colors.ColorToRGB(colors.IdentToColor(L"text_color.cl_orange_c")), 0x002E77E8u);
    EXPECT_TRUE(colors.Defines(ColorIdOf(L"public_element.cl_window_bg_border")));
    const auto listing = store.ListFolder(L":/classic/images/");
    EXPECT_EQ(listing.files.size(), 19u);
  }
  EXPECT_EQ(::GetModuleHandleW(L"uipack.dll"), nullptr) << "the store loaded it, so the store frees it";
}

TEST(SkinThroughUiPackDll, ALibraryTheProcessHoldsIsUsedAndLeftLoaded) {
  HMODULE own = ::LoadLibraryW((ExeFolder() + L"uipack.dll").c_str());
  ASSERT_NE(own, nullptr);
  {
    UiPackSource source(Libraries());
    PackageStore store(source, platform::win32::SystemPlatform().files, ExeFolder() + L"skin");
    store.RegisterPackage(store.SkinPath() + L"classic.rcc", false);
    EXPECT_TRUE(source.Loaded());
    EXPECT_FALSE(source.Owned());
    EXPECT_TRUE(store.ReadResource(L":/classic/main.ini"));
    store.UnregisterPackage(store.SkinPath() + L"classic.rcc");
  }
  EXPECT_EQ(::GetModuleHandleW(L"uipack.dll"), own);
  ::FreeLibrary(own);
}

TEST(SkinSystemColors, SystemColoursComeFromWindows) {
  ColorTable table;
  win32::UseSystemColors(table);
  EXPECT_EQ(table.ColorToRGB(table.IdentToColor(L"clBtnFace")), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(table.ColorToRGB(table.IdentToColor(L"clHighlight")), ::GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace nudgelet::skin
