#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/Font.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/PngImage.h"
#include "skin/PropertyPath.h"
#include "skin/SkinClass.h"
#include "skin/SkinnedObjects.h"

namespace nudgelet::skin {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace nudgelet::skin::testing;

const std::wstring kSkin = L"C:\\App\\skin\\";

class SkinClassTest : public ::testing::Test {
 protected:
  SkinClassTest() {
    files.Add(kSkin + L"public.rcc",
              Package(u"public", {{u"main.ini",
                                   "[text_color]\nclass=color\ncl_text_b=#8DBBED\n"
                                   "[public_element]\nclass=color\ncl_window_bg_border=#434366\n"}}));
    files.Add(kSkin + L"classic.rcc",
              Package(u"classic", {{u"main.ini",
                                    "[btn_base]\nclass=TTestButton\nWidth=30\nCaption=from base\nKind=bkSecond\n"
                                    "Hint=base hint\n"
                                    "[btn_close]\nclass=TTestButton\nparent=btn_base\nSkinRcc=ignored\n"
                                    "Color=text_color.cl_text_b\nVisible=False\nFont.Color=clRed\n"
                                    "ImageNormal.Text=('imgname=images/close.png' 'imgopt=6,6,6,6,1')\n"
                                    "Hint='it''s '#13#10'closing'\n"
                                    "[btn_bad]\nclass=TTestButton\nKind=bkNope\nWidth=44\nNoSuchThing=1\n"
                                    "[btn_columns]\nclass=TTestButton\n"
                                    "Columns=<item Width = 10 Title = 'a' end item Title = 'b' end>\n"
                                    "Columns[1].Width=22\nColumns[5].Width=99\n"
                                    "[btn_named]\nclass=TTestButton\nAllSkin.SkinClass=btn_base\n"
                                    "[title]\nclass=font\nSize=12\nStyle=[fsBold]\nName=Segoe UI\n"}}));
    files.Add(kSkin + L"dark.rcc", Package(u"dark", {{u"main.ini",
                                                      "[btn_close]\nclass=TTestButton\nWidth=31\n"
                                                      "ImageNormal.Text=('imgname=images/dark.png')\n"}}));
    store.RegisterPackage(kSkin + L"public.rcc", true);
    store.RegisterPackage(kSkin + L"classic.rcc", false);
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, kSkin};
  SkinClassRegistry registry{store};
  TTestButton button{registry};
};

TEST_F(SkinClassTest, ApplyingSetsTheSectionWithWhatItsParentsAdd) {
  button.allSkin.SetSkinClass(L"btn_close");

  EXPECT_EQ(button.width, 30);              // from the parent section
  EXPECT_EQ(button.caption, L"from base");  // a skin may set texts
  EXPECT_EQ(button.kind, 1);
  EXPECT_FALSE(button.visible);
  EXPECT_EQ(button.hint, L"it's \r\nclosing");  // the section's own line wins
  EXPECT_EQ(button.color, 0xFFEDBB8Du);         // an identifier, resolved when painting
  EXPECT_EQ(store.Colors().ColorToRGB(button.color), 0x00EDBB8Du);
  EXPECT_EQ(button.font.GetColor(), 0x000000FFu);
  ASSERT_NE(button.imageNormal.Descriptor(), nullptr);
  EXPECT_EQ(button.imageNormal.Descriptor()->ImgName(), L"images/close.png");
  EXPECT_EQ(LineValue(button.imageNormal.Descriptor()->Values(), L"SkinRcc"), L"classic");

  // The organising keys are part of what was applied, but set nothing.
  EXPECT_THAT(button.allSkin.SkinValues(), Contains(L"parent=btn_base"));
  EXPECT_THAT(button.allSkin.SkinValues(), Contains(L"Width=30"));
  EXPECT_THAT(button.allSkin.SkinValues(), Not(Contains(L"Hint=base hint")));
  EXPECT_FALSE(button.State().updating);
}

TEST_F(SkinClassTest, IgnoredPathsAreNeverSetAlsoWhenAParentSectionHasThem) {
  button.width = 7;
  button.allSkin.SetIgnoreValues({L"width", L"Font.Color"});
  button.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(button.width, 7);
  EXPECT_EQ(button.font.GetColor(), TFont::kWindowText);
  EXPECT_FALSE(button.visible);
}

TEST_F(SkinClassTest, SkinPicturesReplaceOnlyWhatCameFromASkinUnlessForced) {
  TTestButton designed(registry);
  designed.imageNormal.ReadDescriptor(store, {L"imgname=images/designer.png"});
  designed.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(designed.imageNormal.Descriptor()->ImgName(), L"images/designer.png");

  designed.allSkin.SetForceUseSkinPic(true);
  EXPECT_EQ(designed.imageNormal.Descriptor()->ImgName(), L"images/close.png");

  TTestButton fromSkin(registry);
  fromSkin.imageNormal.ReadDescriptor(store, {L"imgname=images/old.png", L"SkinRcc=public"});
  fromSkin.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(fromSkin.imageNormal.Descriptor()->ImgName(), L"images/close.png");

  // A picture of another kind stays unless the slot is empty.
  TTestButton bitmap(registry);
  bitmap.imageNormal.SetGraphic(std::make_unique<TPngImage>(Bitmap(2, 2)));
  bitmap.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(bitmap.imageNormal.Descriptor(), nullptr);

  // With no skin named the mark stays, empty, so the picture still follows
  // the next skin instead of passing for the designer's.
  store.UnregisterPackage(kSkin + L"classic.rcc");
  ASSERT_EQ(store.SkinName(), L"");
  TTestButton unnamed(registry);
  unnamed.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(LineValue(unnamed.imageNormal.Descriptor()->Values(), L"SkinRcc"), L"");
  store.RegisterPackage(kSkin + L"dark.rcc", false);
  registry.ApplyAll();
  EXPECT_EQ(unnamed.imageNormal.Descriptor()->ImgName(), L"images/dark.png");
}

TEST_F(SkinClassTest, ABadValueFailsWithItsIdentifierAfterTheOtherLinesApplied) {
  int changes = 0;
  button.allSkin.onChange = [&] { ++changes; };
  try {
    button.allSkin.SetSkinClass(L"btn_bad");
    FAIL() << "no error";
  } catch (const EPropertyValueError& e) {
    EXPECT_STREQ(e.what(), "Invalid Ident value: bkNope");
  }
  EXPECT_EQ(button.width, 44);
  EXPECT_EQ(button.kind, 0);
  EXPECT_FALSE(button.State().updating);
  EXPECT_EQ(changes, 1);
}

TEST_F(SkinClassTest, CollectionsAreFilledAndItemsReachedByIndex) {
  button.allSkin.SetSkinClass(L"btn_columns");
  ASSERT_EQ(button.columns.size(), 2u);
  EXPECT_EQ(button.columns[0]->width, 10);
  EXPECT_EQ(button.columns[0]->title, L"a");
  EXPECT_EQ(button.columns[1]->width, 22);  // the default, then the indexed line
  EXPECT_EQ(button.columns[1]->title, L"b");
}

TEST_F(SkinClassTest, ASectionNameIsAppliedOnceUnlessTheComponentIsStillArriving) {
  button.State().loading = true;
  button.allSkin.SetSkinClass(L"btn_close");
  EXPECT_EQ(button.width, 0);
  button.State().loading = false;
  button.allSkin.Apply(true);
  EXPECT_EQ(button.width, 30);

  button.width = 5;
  int changes = 0;
  button.allSkin.onChange = [&] { ++changes; };
  button.allSkin.SetSkinClass(L"BTN_CLOSE");  // the same name: nothing happens
  EXPECT_EQ(button.width, 5);
  EXPECT_EQ(changes, 0);
  button.State().reading = true;
  button.allSkin.SetSkinClass(L"btn_close");  // while read from stored data: told
  EXPECT_EQ(changes, 1);
}

TEST_F(SkinClassTest, TheRegistryKeepsNamedSkinClassesInCreationOrderForASkinChange) {
  auto first = std::make_unique<TTestButton>(registry);
  TTestButton second(registry);
  TTestButton unnamed(registry);
  second.allSkin.SetSkinClass(L"btn_close");
  first->allSkin.SetSkinClass(L"btn_close");
  ASSERT_EQ(registry.Registered().size(), 2u);
  EXPECT_EQ(registry.Registered()[0], &first->allSkin);
  EXPECT_EQ(registry.Registered()[1], &second.allSkin);

  int repaints = 0;
  registry.ConnectRefresh([&] { ++repaints; });
  store.RegisterPackage(kSkin + L"dark.rcc", false);
  store.RefreshAll();
  EXPECT_EQ(second.width, 31);
  EXPECT_EQ(first->width, 31);
  EXPECT_EQ(second.imageNormal.Descriptor()->ImgName(), L"images/dark.png");
  EXPECT_EQ(LineValue(second.imageNormal.Descriptor()->Values(), L"SkinRcc"), L"dark");
  EXPECT_GE(repaints, 1);

  first.reset();
  second.allSkin.SetSkinClass(L"");
  EXPECT_TRUE(registry.Registered().empty());
}

TEST_F(SkinClassTest, ARegistryThatGoesTakesItsRefreshHookAlong) {
  auto own = std::make_unique<SkinClassRegistry>(store);
  own->ConnectRefresh(nullptr);
  own.reset();
  store.RefreshAll();  // must not reach the registry that is gone
}

TEST_F(SkinClassTest, ASectionMayNameAnotherSectionForTheSameObject) {
  button.allSkin.SetSkinClass(L"btn_named");
  EXPECT_EQ(button.allSkin.SkinClass(), L"btn_base");
  // Not applied in the middle of applying; the next round takes it.
  EXPECT_EQ(button.width, 0);
  registry.ApplyAll();
  EXPECT_EQ(button.width, 30);
}

TEST_F(SkinClassTest, TheFontsSkinClassFollowsTheControls) {
  button.font.AllSkin().SetSkinClass(L"title");
  EXPECT_EQ(button.font.Size(), 12);
  EXPECT_EQ(button.font.Style(), unsigned{fsBold});
  EXPECT_EQ(button.font.Name(), L"Segoe UI");

  button.font.SetSize(8);
  button.allSkin.SetSkinClass(L"btn_close");  // recursive: the font's section comes back
  EXPECT_EQ(button.font.Size(), 12);
  EXPECT_EQ(button.font.GetColor(), 0x000000FFu);
}

TEST_F(SkinClassTest, CurrentValuesAreLinesThatGiveTheSameObjectBack) {
  button.allSkin.SetSkinClass(L"btn_close");
  button.anchors = 0b1010;
  button.items = {L"one", L"two"};
  button.ratio = 2.5;
  button.columns.emplace_back(std::make_unique<TTestColumn>())->title = L"x";
  const std::vector<std::wstring> lines = button.allSkin.CurrentValues();

  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), L"class=TTestButton");
  EXPECT_THAT(lines, Contains(L"Color=text_color.cl_text_b"));
  EXPECT_THAT(lines, Contains(L"Visible=False"));
  EXPECT_THAT(lines, Contains(L"Kind=bkSecond"));
  EXPECT_THAT(lines, Contains(L"Anchors=[akTop, akBottom]"));
  EXPECT_THAT(lines, Contains(L"Items=('one' 'two')"));
  EXPECT_THAT(lines, Contains(L"Hint='it''s '#13#10'closing'"));
  EXPECT_THAT(lines, Contains(L"Columns=< item Title = 'x' end>"));
  for (const auto& line : lines) {
    EXPECT_THAT(line, Not(HasSubstr(L"AllSkin"))) << "the binding itself is no value";
    EXPECT_NE(line.rfind(L"Width=", 0), 0u) << "where a control sits belongs to the form";
    EXPECT_NE(line.rfind(L"Caption=", 0), 0u);
  }

  // The lines applied to a fresh object give the same values.
  TTestButton copy(registry);
  const PropertyContext context{&store, false};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto eq = lines[i].find(L'=');
    SetPropertyPath(copy, lines[i].substr(0, eq), lines[i].substr(eq + 1), context);
  }
  EXPECT_EQ(copy.color, button.color);
  EXPECT_EQ(copy.anchors, button.anchors);
  EXPECT_EQ(copy.items, button.items);
  EXPECT_EQ(copy.hint, button.hint);
  EXPECT_EQ(copy.ratio, 2.5);
  EXPECT_EQ(copy.font.GetColor(), button.font.GetColor());
  ASSERT_EQ(copy.columns.size(), 1u);
  EXPECT_EQ(copy.columns[0]->title, L"x");
  ASSERT_NE(copy.imageNormal.Descriptor(), nullptr);
  EXPECT_EQ(copy.imageNormal.Descriptor()->ImgName(), L"images/close.png");

  button.State().loading = true;
  EXPECT_TRUE(button.allSkin.CurrentValues().empty());
}

TEST_F(SkinClassTest, ClearOwnerPicEmptiesEveryStoredPictureDownToCollectionItems) {
  button.imageNormal.ReadDescriptor(store, {L"imgname=images/a.png"});
  button.imageLent.ReadDescriptor(store, {L"imgname=images/lent.png"});
  button.columns.emplace_back(std::make_unique<TTestColumn>())->icon.ReadDescriptor(store, {L"imgname=b.png"});
  button.allSkin.SetClearOwnerPic(true);
  EXPECT_TRUE(button.imageNormal.Empty());
  EXPECT_TRUE(button.columns[0]->icon.Empty());
  EXPECT_FALSE(button.imageLent.Empty()) << "a picture the button does not store is not its to clear";
}

TEST_F(SkinClassTest, EqualityAndAssignment) {
  TTestButton a(registry);
  TTestButton b(registry);
  a.allSkin.SetIgnoreValues({L"Width"});
  a.allSkin.SetSkinClass(L"btn_close");
  EXPECT_FALSE(b.allSkin.SameAs(a.allSkin));
  b.allSkin.Assign(a.allSkin);
  EXPECT_TRUE(b.allSkin.SameAs(a.allSkin));
  EXPECT_EQ(b.width, 0);  // assigned ignoring Width, then applied
  b.allSkin.SetSkinClass(L"BTN_CLOSE");
  EXPECT_TRUE(b.allSkin.SameAs(a.allSkin));
  EXPECT_TRUE(a.allSkin.SameAs(a.allSkin));
}

TEST_F(SkinClassTest, ChildSkinClassesLoseTheirParentWhenItGoes) {
  auto parent = std::make_unique<TRdSkinClass>(registry, nullptr);
  TRdSkinClass child(registry, nullptr, parent.get());
  ASSERT_THAT(parent->Children(), ElementsAre(&child));
  parent.reset();
  EXPECT_EQ(child.Parent(), nullptr);
  child.Apply(true);  // an owner-less class applies nothing and does not fail
  EXPECT_TRUE(child.SkinValues().empty());
}

}  // namespace
}  // namespace nudgelet::skin
