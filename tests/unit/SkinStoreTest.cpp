#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "skin/ColorTable.h"
#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/SkinSections.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using namespace nudgelet::skin::testing;

std::vector<std::uint8_t> B(const std::string& s) { return {s.begin(), s.end()}; }

const std::wstring kSkin = L"C:\\App\\skin\\";

// The files of a skin folder: public.rcc and classic.rcc as the product has them, small.
class SkinStoreTest : public ::testing::Test {
 protected:
  SkinStoreTest() {
    files.Add(kSkin + L"public.rcc",
              Package(u"public", {
                                     {u"main.ini",
                                      "[base]\nclass=widget\nfont=Tahoma\nsize=8\ncolor=red\ncolor=green\n"
                                      "[child]\nclass=widget\nparent=base\nsize=9\nsize=12\n"
                                      "[self]\nclass=widget\nparent=self\nx=1\n"
                                      "[loop_a]\nclass=widget\nparent=loop_b\na=1\n"
                                      "[loop_b]\nclass=widget\nparent=loop_a\nb=2\n"
                                      "[public_element]\nclass=color\ncl_bg=#FFFFFF\ncl_border=#C9D1DB\n"},
                                     {u"extra.ini", "[base]\nclass=widget\nsize=10\nweight=bold\n"},
                                     {u"notes.txt", "[base]\nclass=widget\nsize=99\n"},
                                 }));
    files.Add(
        kSkin + L"classic.rcc",
        Package(u"classic", {
                                {u"main.ini",
                                 "[base]\nclass=widget\nsize=11\n[img_button]\nclass=image\n"
                                 "imgname=images/b.png\nimgopt=6,6,6,6,1\n"},
                                {u"zz_last.ini", "[base]\nclass=widget\ncolor=blue\n"},
                                {u"color_setting.ini", "[validate]\ntype=BGR\n[public_element]\ncl_border=255,0,0\n"},
                                {u"images/b.png", "packaged b"},
                                {u"images/c.png", "packaged c"},
                            }));
    files.Add(kSkin + L"dark.dll",
              Package(u"dark", {{u"main.ini", "[base]\nclass=widget\nsize=20\n"}, {u"images/b.png", "dark b"}}));
  }

  void OpenProductSkin() {
    store.RegisterPackage(kSkin + L"public.rcc", true);
    store.RegisterPackage(kSkin + L"classic.rcc", false);
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\App\\skin"};
};

TEST_F(SkinStoreTest, IniFilesMergeInOrderAndSectionsInheritAlongParents) {
  OpenProductSkin();
  EXPECT_EQ(store.SkinName(), L"classic");
  // public/main.ini, public/extra.ini, classic/main.ini, classic/zz_last.ini;
  // files other than .ini take no part. A later file's key replaces every
  // line an earlier file had for it; a section's own repeated key stays
  // repeated, so applying it in order ends with the last.
  EXPECT_THAT(*store.SectionValues(L"widget", L"base"),
              ElementsAre(L"class=widget", L"font=Tahoma", L"size=11", L"color=blue", L"weight=bold"));
  EXPECT_THAT(*store.SectionValues(L"WIDGET", L"Child"),
              ElementsAre(L"class=widget", L"parent=base", L"size=9", L"size=12", L"font=Tahoma", L"color=blue",
                          L"weight=bold"));
  EXPECT_EQ(store.SectionValue(L"widget", L"child", L"weight"), L"bold");
  EXPECT_FALSE(store.SectionValues(L"widget", L"missing"));
  EXPECT_FALSE(store.SectionValues(L"button", L"base"));

  // Sections naming themselves or each other end the chain instead of the program.
  EXPECT_THAT(*store.SectionValues(L"widget", L"self"), ElementsAre(L"class=widget", L"parent=self", L"x=1"));
  EXPECT_THAT(*store.SectionValues(L"widget", L"loop_a"),
              ElementsAre(L"class=widget", L"parent=loop_b", L"a=1", L"b=2"));
  EXPECT_FALSE(store.SectionValue(L"widget", L"loop_b", L"missing"));
}

TEST_F(SkinStoreTest, ThePackagesSpellingNamesTheSameSkin) {
  store.RegisterPackage(kSkin + L"public.rcc", true);
  for (const wchar_t* spelt : {L"Classic.rcc", L"classic.rcc", L"CLASSIC.RCC", L"Classic.dll"}) {
    SCOPED_TRACE(WideToUtf8(spelt));
    store.RegisterPackage(kSkin + L"dark.dll", false);
    store.RegisterPackage(kSkin + spelt, false);
    EXPECT_EQ(store.SkinName(), L"classic");
    EXPECT_EQ(store.ReadResource(L"images/b.png"), B("packaged b"));
    EXPECT_EQ(store.SectionValue(L"widget", L"base", L"size"), L"11");
    EXPECT_EQ(store.Colors().ColorToRGB(ColorIdOf(L"public_element.cl_border")), 0x00FF0000u);
  }
  // Spelt differently, the same package is no change.
  const auto stamp = store.ChangeStamp();
  store.RegisterPackage(kSkin + L"classic.RCC", false);
  EXPECT_EQ(store.ChangeStamp(), stamp);
}

TEST_F(SkinStoreTest, ColoursComeFromColorSectionsAndTheSkinsColorSetting) {
  OpenProductSkin();
  const auto& colors = store.Colors();
  EXPECT_EQ(colors.ColorToRGB(colors.IdentToColor(L"public_element.cl_bg")), 0x00FFFFFFu);
  // color_setting.ini comes later and says blue-green-red for the whole file.
  EXPECT_EQ(colors.ColorToRGB(colors.IdentToColor(L"public_element.cl_border")), 0x00FF0000u);
  EXPECT_EQ(colors.LoadedColors().size(), 3u);
}

TEST_F(SkinStoreTest, LooseFilesWinOverPackagedOnes) {
  OpenProductSkin();
  files.Add(kSkin + L"classic\\images\\b.png", "loose b");
  files.Add(kSkin + L"public\\main.ini", "[loose]\n");
  files.Add(L"C:\\App\\secret.txt", "outside");

  EXPECT_EQ(store.ReadResource(L"images/b.png"), B("loose b"));
  EXPECT_EQ(store.ReadResource(L":/classic/images/b.png"), B("loose b"));
  EXPECT_EQ(store.ReadResource(L"images/c.png"), B("packaged c"));
  EXPECT_EQ(store.ReadResource(L":/public/main.ini"), B("[loose]\n"));
  EXPECT_FALSE(store.ReadResource(L"images/none.png"));
  // Names from skin files do not reach out of the skin folder.
  EXPECT_FALSE(store.ReadResource(L"..\\..\\secret.txt"));
  EXPECT_FALSE(store.ReadResource(L":/../secret.txt"));

  files.Add(kSkin + L"classic\\images\\new.png", "n");
  files.AddFolder(kSkin + L"classic\\images\\more");
  const auto listing = store.ListFolder(L":/classic/images/");
  EXPECT_THAT(listing.files, UnorderedElementsAre(L"b.png", L"c.png", L"new.png"));
  EXPECT_THAT(listing.folders, ElementsAre(L"more"));
}

TEST_F(SkinStoreTest, PackagesSwapExtensionsAndAMissingSkinFallsBackToClassic) {
  OpenProductSkin();
  const auto first = store.ChangeStamp();
  EXPECT_GT(first, 0u);

  // dark.rcc does not exist, dark.dll does.
  store.RegisterPackage(kSkin + L"dark.rcc", false);
  EXPECT_EQ(store.SkinName(), L"dark");
  EXPECT_TRUE(EqualsIgnoreCase(store.SkinPackage(), kSkin + L"dark.dll"));
  EXPECT_EQ(store.ReadResource(L"images/b.png"), B("dark b"));
  EXPECT_EQ(store.SectionValue(L"widget", L"base", L"size"), L"20");
  EXPECT_GT(store.ChangeStamp(), first);
  EXPECT_FALSE(source.Packages().IsRegistered(kSkin + L"classic.rcc")) << "the old skin goes";

  store.RegisterPackage(kSkin + L"nowhere.rcc", false);
  EXPECT_EQ(store.SkinName(), L"classic");
  EXPECT_EQ(store.ReadResource(L"images/b.png"), B("packaged b"));
  EXPECT_THAT(store.RegisteredFiles(), ElementsAre(kSkin + L"classic.rcc", kSkin + L"public.rcc"));

  store.UnregisterPackage(kSkin + L"CLASSIC.rcc");
  EXPECT_EQ(store.SkinName(), L"");
  EXPECT_EQ(store.SkinPackage(), L"");
  EXPECT_THAT(store.RegisteredFiles(), ElementsAre(kSkin + L"public.rcc"));
  EXPECT_FALSE(store.ReadResource(L":/classic/main.ini"));
  EXPECT_TRUE(store.ReadResource(L":/public/main.ini"));

  store.UnregisterPackage(kSkin + L"public.rcc");
  EXPECT_TRUE(store.RegisteredFiles().empty());
  EXPECT_EQ(source.Packages().Count(), 0u);
}

TEST_F(SkinStoreTest, ExtraPackagesRegisterBesideTheSkin) {
  OpenProductSkin();
  files.Add(kSkin + L"extra.rcc", Package(u"extra", {{u"a.txt", "A"}}));
  store.RegisterPackage(kSkin + L"extra.dll", true);
  EXPECT_EQ(store.SkinName(), L"classic");
  EXPECT_EQ(store.ReadResource(L":/extra/a.txt"), B("A"));
  EXPECT_EQ(store.RegisteredFiles().size(), 3u);
  // A broken package file registers nothing and breaks nothing.
  files.Add(kSkin + L"broken.rcc", "qres but not really");
  store.RegisterPackage(kSkin + L"broken.rcc", true);
  EXPECT_EQ(source.Packages().Count(), 3u);
}

TEST_F(SkinStoreTest, PicturesAreSharedByNameAndRefreshedInPlace) {
  OpenProductSkin();
  auto b = store.LoadPicture(L"images/b.png");
  EXPECT_EQ(store.LoadPicture(L"images/b.png"), b);
  EXPECT_NE(store.LoadPicture(L"images/B.png"), b) << "resource names are case-sensitive";
  EXPECT_EQ(b->Data(), B("packaged b"));

  auto missing = store.LoadPicture(L"images/none.png");
  EXPECT_TRUE(missing->Empty());
  EXPECT_EQ(store.LoadPicture(L"images/none.png"), missing) << "kept although nothing was found";

  auto named = store.LoadPicture(L"[img_button]");
  EXPECT_THAT(named->Lines(), ElementsAre(L"class=image", L"imgname=images/b.png", L"imgopt=6,6,6,6,1"));
  EXPECT_TRUE(store.LoadPicture(L"[img_nothing]")->Empty());

  int changes = 0;
  b->SetOnChange([&](const SkinPicture&) { ++changes; });
  const auto generation = b->Generation();
  store.RegisterPackage(kSkin + L"dark.dll", false);
  EXPECT_EQ(store.LoadPicture(L"images/b.png"), b);
  EXPECT_EQ(b->Data(), B("dark b"));
  EXPECT_GT(b->Generation(), generation);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(named->Empty()) << "the dark skin has no image sections";
  EXPECT_EQ(store.CachedPictureCount(), 5u);
}

TEST_F(SkinStoreTest, LookupsDuringASkinChangeSeeTheOldSkinOrTheNew) {
  OpenProductSkin();
  files.Add(kSkin + L"dark.dll", Package(u"dark", {{u"main.ini", "[base]\nclass=widget\nsize=20\n"},
                                                   {u"color_setting.ini", "[public_element]\ncl_border=#000000\n"}}));
  const Color border = ColorIdOf(L"public_element.cl_border");
  std::atomic<bool> done = false;
  std::atomic<int> undefined = 0;
  std::thread painter([&] {
    while (!done) {
      const Color c = store.Colors().ColorToRGB(border);
      if (c != 0x00FF0000 && c != 0x00000000) ++undefined;
      store.LoadPicture(L"images/b.png")->Data();
    }
  });
  for (int i = 0; i < 40; ++i) store.RegisterPackage(kSkin + (i % 2 ? L"classic.rcc" : L"dark.dll"), false);
  done = true;
  painter.join();
  EXPECT_EQ(undefined, 0);
}

TEST(PackagePaths, ExtensionsSwapAndNamesLoseFolderAndExtension) {
  EXPECT_EQ(AlternatePackagePath(L"C:\\a\\skin.rcc"), L"C:\\a\\skin.dll");
  EXPECT_EQ(AlternatePackagePath(L"C:\\a\\skin.DLL"), L"C:\\a\\skin.rcc");
  EXPECT_EQ(AlternatePackagePath(L"C:\\a.b\\skin"), L"C:\\a.b\\skin.rcc");
  EXPECT_EQ(AlternatePackagePath(L"C:\\a\\skin.zip"), L"C:\\a\\skin.rcc");
  EXPECT_EQ(PackageNameOf(L"C:\\a.b\\Classic.rcc"), L"Classic");
  EXPECT_EQ(NormalizeSeparators(L"C:/a/b"), L"C:\\a\\b");
}

TEST(SkinSectionChain, ALongChainThatLoopsFarUpEndsAndInheritsEachAncestorOnce) {
  // s0 -> s1 -> ... -> s39 -> s20: longer than a look back through the chain
  // covers, with the loop far from where the lookup starts.
  std::vector<std::wstring> lines;
  for (int i = 0; i < 40; ++i) {
    lines.push_back(L"[s" + std::to_wstring(i) + L"]");
    lines.push_back(L"class=widget");
    lines.push_back(L"parent=s" + std::to_wstring(i < 39 ? i + 1 : 20));
    lines.push_back(L"k" + std::to_wstring(i) + L"=" + std::to_wstring(i));
  }
  SectionTable table;
  table.MergeFile(IniSections::Parse(lines));
  table.LinkParents();
  const TRdValueStrings* first = table.Find(L"widget", L"s0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Value(L"k39"), L"39");
  EXPECT_FALSE(first->Value(L"missing"));
  const auto inherited = first->LinesWithInherited();
  EXPECT_EQ(inherited.size(), 3u + 39u) << "own class, parent and key, then each ancestor's own key once";
  EXPECT_EQ(inherited.back(), L"k39=39");
}

}  // namespace
}  // namespace nudgelet::skin
