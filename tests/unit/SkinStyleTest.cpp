#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/SkinStyle.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using namespace nudgelet::skin::testing;

class SkinStyleTest : public ::testing::Test {
 protected:
  SkinStyleTest() {
    files.Add(L"C:\\App\\skin\\public.rcc", Package(u"public", {{u"main.ini", "[c]\nclass=color\nx=#010203\n"}}));
    files.Add(L"C:\\App\\skin\\classic.rcc", Package(u"classic", {{u"main.ini", "[w]\nclass=widget\nk=v\n"}}));
    context.showMessage = [this](const std::wstring& text) { messages.push_back(text); };
    store.SetRefreshAllHook([this] { ++refreshes; });
  }

  // What loading the tip window's stored form data does with its style.
  void LoadTipWindowStyle(TRdSkinStyle& style, const std::wstring& skinRcc = L"classic.rcc") {
    style.SetMainSkin(true);
    style.BeginLoading();
    style.SetRuntimePath(L"skin");
    style.SetPublicRccFiles({L"public.rcc"});
    style.SetSkinRccFile(skinRcc);
    style.Loaded();
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\App\\"};
  SkinStyleContext context{store, files, L"C:\\App\\"};
  std::vector<std::wstring> messages;
  int refreshes = 0;
};

TEST_F(SkinStyleTest, TheTipWindowsStyleRegistersBothPackagesFromTheSkinFolder) {
  TRdSkinStyle style(context, L"RdSkinStyle1", L"Main");
  LoadTipWindowStyle(style);

  EXPECT_EQ(style.CurSkinPath(), L"C:\\App\\skin\\");
  EXPECT_EQ(style.CurSkinRccFile(), L"C:\\App\\skin\\classic.rcc");
  EXPECT_EQ(style.CurMainStyle(), L"Main.RdSkinStyle1");
  EXPECT_EQ(store.SkinName(), L"classic");
  EXPECT_THAT(style.RegisteredPublic(), ElementsAre(L"C:\\App\\skin\\public.rcc"));
  EXPECT_EQ(store.SectionValue(L"widget", L"w", L"k"), L"v");
  EXPECT_EQ(store.Colors().ColorToRGB(store.Colors().IdentToColor(L"c.x")), 0x00030201u);
  EXPECT_GE(refreshes, 1);
  EXPECT_TRUE(messages.empty());

  EXPECT_TRUE(style.Stores(L"RuntimePath"));
  EXPECT_TRUE(style.Stores(L"SkinRccFile"));
  EXPECT_FALSE(style.Stores(L"DesigntimePath"));
}

TEST_F(SkinStyleTest, AFolderInTheStoredSkinPackageIsWhereTheFormLoadsItsPackagesFrom) {
  files.Add(L"D:\\Skins\\public.rcc", Package(u"public", {{u"main.ini", "[c]\nclass=color\nx=#0A0B0C\n"}}));
  files.Add(L"D:\\Skins\\classic.rcc", Package(u"classic", {{u"main.ini", "[w]\nclass=widget\nk=elsewhere\n"}}));
  TRdSkinStyle style(context, L"RdSkinStyle1", L"Main");
  LoadTipWindowStyle(style, L"D:\\Skins\\classic.rcc");

  EXPECT_EQ(style.SkinRccFile(), L"classic.rcc");
  EXPECT_EQ(style.RuntimePath(), L"D:\\Skins\\");
  EXPECT_EQ(style.CurSkinRccFile(), L"D:\\Skins\\classic.rcc");
  EXPECT_THAT(style.RegisteredPublic(), ElementsAre(L"D:\\Skins\\public.rcc"));
  EXPECT_EQ(store.SectionValue(L"widget", L"w", L"k"), L"elsewhere");
  EXPECT_EQ(store.Colors().ColorToRGB(store.Colors().IdentToColor(L"c.x")), 0x000C0B0Au);
}

TEST_F(SkinStyleTest, ASkinPackageThatExistsNowhereKeepsItsNameAndRegistersNothing) {
  TRdSkinStyle style(context, L"RdSkinStyle1", L"Main");
  style.SetRuntimePath(L"skin");
  style.SetSkinRccFile(L"nowhere.rcc");
  EXPECT_EQ(style.SkinRccFile(), L"nowhere.rcc");
  EXPECT_EQ(store.SkinName(), L"");
  EXPECT_TRUE(store.RegisteredFiles().empty());

  // A full path names the folder too; only the file name is kept.
  style.SetSkinRccFile(L"C:\\App\\skin\\classic.rcc");
  EXPECT_EQ(style.SkinRccFile(), L"classic.rcc");
  EXPECT_EQ(store.SkinName(), L"classic");
}

TEST_F(SkinStyleTest, ASecondMainStyleIsWarnedAboutAndOnlyRemembersNames) {
  TRdSkinStyle main(context, L"RdSkinStyle1", L"Main");
  LoadTipWindowStyle(main);
  const auto stamp = store.ChangeStamp();

  {
    TRdSkinStyle other(context, L"RdSkinStyle2", L"Other");
    other.SetMainSkin(true);
    EXPECT_THAT(messages, ElementsAre(L"warning: main.SkinStyle exists! must close unit: Main.RdSkinStyle1"));
    other.SetRuntimePath(L"elsewhere");
    other.SetSkinRccFile(L"C:\\Elsewhere\\dark.rcc");
    EXPECT_EQ(other.SkinRccFile(), L"dark.rcc");
    EXPECT_EQ(store.SkinPath(), L"C:\\App\\skin\\");
    EXPECT_EQ(store.ChangeStamp(), stamp);
    EXPECT_EQ(other.CurMainStyle(), L"Main.RdSkinStyle1");

    main.SetMainSkin(false);
    EXPECT_EQ(other.CurMainStyle(), L"Other.RdSkinStyle2") << "the next in the chain takes over";
  }
  EXPECT_EQ(main.CurMainStyle(), L"") << "a destroyed style leaves the chain";

  TRdSkinStyle ownerless(context, L"Loose", L"");
  ownerless.SetMainSkin(true);
  TRdSkinStyle late(context, L"Late", L"Unit");
  late.SetMainSkin(true);
  EXPECT_EQ(messages.back(), L"warning: main.SkinStyle exists!");
}

TEST_F(SkinStyleTest, WhileDesigningTheDesigntimeFolderServesLibraryAndPackages) {
  context.designing = true;
  std::vector<std::wstring> libraryFolders;
  context.loadLibraryFrom = [&](const std::wstring& folder) {
    libraryFolders.push_back(folder);
    return true;
  };
  TRdSkinStyle style(context, L"RdSkinStyle1", L"Main");
  EXPECT_EQ(style.DesigntimePath(), TRdSkinStyle::kDefaultDesigntimePath);
  EXPECT_FALSE(style.Stores(L"DesigntimePath")) << "the default is not written";

  style.BeginLoading();
  style.SetSkinRccFile(L"classic.rcc");
  style.SetDesigntimePath(L"c:\\app\\SKIN");
  style.SetPublicRccFiles({L"public.rcc"});
  style.Loaded();
  EXPECT_TRUE(style.Stores(L"DesigntimePath"));
  EXPECT_EQ(store.SkinPath(), L"c:\\app\\SKIN\\");
  EXPECT_EQ(store.SkinName(), L"classic");
  EXPECT_THAT(style.RegisteredPublic(), ElementsAre(L"c:\\app\\SKIN\\public.rcc"));
  EXPECT_EQ(store.Colors().ColorToRGB(store.Colors().IdentToColor(L"c.x")), 0x00030201u)
      << "the public package's colours although the skin came first";
  EXPECT_FALSE(libraryFolders.empty());
  EXPECT_EQ(libraryFolders.front(), L"c:\\app\\SKIN");
}

}  // namespace
}  // namespace nudgelet::skin
