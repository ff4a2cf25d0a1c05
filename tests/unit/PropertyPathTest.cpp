#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/PropertyPath.h"
#include "skin/SkinnedObjects.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using namespace nudgelet::skin::testing;

class PropertyPathTest : public ::testing::Test {
 protected:
  bool Set(std::wstring_view path, std::wstring_view value) {
    return SetPropertyPath(button, path, value, PropertyContext{&store, false});
  }
  std::string Failure(std::wstring_view path, std::wstring_view value) {
    try {
      Set(path, value);
    } catch (const EPropertyValueError& e) {
      return e.what();
    }
    return "no error";
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\App\\skin\\"};
  SkinClassRegistry registry{store};
  TTestButton button{registry};
};

TEST_F(PropertyPathTest, PlainTextIsConvertedByThePropertysType) {
  EXPECT_TRUE(Set(L"Width", L"120"));
  EXPECT_EQ(button.width, 120);
  EXPECT_TRUE(Set(L"width", L"$1F"));  // names ignore case; hexadecimal as stored data writes it
  EXPECT_EQ(button.width, 31);
  EXPECT_TRUE(Set(L"Visible", L"false"));
  EXPECT_FALSE(button.visible);
  EXPECT_TRUE(Set(L"Kind", L"BKTHIRD"));
  EXPECT_EQ(button.kind, 2);
  EXPECT_TRUE(Set(L"Anchors", L"akRight,akBottom"));
  EXPECT_EQ(button.anchors, 12u);
  EXPECT_TRUE(Set(L"Anchors", L""));
  EXPECT_EQ(button.anchors, 0u);
  EXPECT_TRUE(Set(L"Ratio", L"0.25"));
  EXPECT_EQ(button.ratio, 0.25);
  EXPECT_TRUE(Set(L"Caption", L"Update Now"));
  EXPECT_EQ(button.caption, L"Update Now");
  EXPECT_TRUE(Set(L"Caption", L""));
  EXPECT_EQ(button.caption, L"");
}

TEST_F(PropertyPathTest, ColoursTakeNumbersStandardNamesAndIdentifiers) {
  EXPECT_TRUE(Set(L"Color", L"$00FF8000"));
  EXPECT_EQ(button.color, 0x00FF8000u);
  EXPECT_TRUE(Set(L"Color", L"clRed"));
  EXPECT_EQ(store.Colors().ColorToRGB(button.color), 0x000000FFu);
  // Not defined by any skin yet: kept as the identifier, drawn as the warning colour.
  EXPECT_TRUE(Set(L"Color", L"public_element.cl_window_bg_border"));
  EXPECT_EQ(button.color, 0xFF664367u);
  EXPECT_EQ(store.Colors().ColorToRGB(button.color), kUndefinedColor);
}

TEST_F(PropertyPathTest, StoredFormSyntaxCarriesStringsListsSetsAndCollections) {
  EXPECT_TRUE(Set(L"Caption", L"'it''s'#32'here'"));
  EXPECT_EQ(button.caption, L"it's here");
  EXPECT_TRUE(Set(L"Caption", L"#20320#22909"));
  EXPECT_EQ(button.caption, L"\u4f60\u597d");
  EXPECT_TRUE(Set(L"Items", L"('a' 'b')"));
  EXPECT_THAT(button.items, ElementsAre(L"a", L"b"));
  EXPECT_TRUE(Set(L"Anchors", L"[akLeft, akBottom]"));
  EXPECT_EQ(button.anchors, 9u);
  EXPECT_TRUE(Set(L"Columns", L"<item Width = 7 Icon.Text = ('imgname=i.png') end item end>"));
  ASSERT_EQ(button.columns.size(), 2u);
  EXPECT_EQ(button.columns[0]->width, 7);
  ASSERT_NE(button.columns[0]->icon.Descriptor(), nullptr);
  EXPECT_EQ(button.columns[0]->icon.Descriptor()->ImgName(), L"i.png");
  EXPECT_TRUE(Set(L"Columns[1].Title", L"'second'"));
  EXPECT_EQ(button.columns[1]->title, L"second");
}

TEST_F(PropertyPathTest, PathsThatNameNothingSettableChangeNothing) {
  button.columns.emplace_back(std::make_unique<TTestColumn>());
  EXPECT_FALSE(Set(L"Nothing", L"1"));
  EXPECT_FALSE(Set(L"Font.Nothing", L"1"));
  EXPECT_FALSE(Set(L"Columns[1].Width", L"9"));  // beyond the items
  EXPECT_FALSE(Set(L"Columns[x].Width", L"9"));
  EXPECT_FALSE(Set(L"Columns.Width", L"9"));             // an item needs its number
  EXPECT_FALSE(Set(L"Width.Sub", L"9"));                 // a number leads nowhere
  EXPECT_FALSE(Set(L"Font", L"1"));                      // objects are reached through, not assigned
  EXPECT_FALSE(Set(L"AllSkin.SkinValues", L"('a=1')"));  // read-only
  EXPECT_FALSE(Set(L"", L"1"));
  EXPECT_FALSE(Set(L"Width.", L"1"));
  EXPECT_EQ(button.columns[0]->width, 50);
  EXPECT_TRUE(Set(L"Columns[0].Width", L"9"));
  EXPECT_EQ(button.columns[0]->width, 9);
}

TEST_F(PropertyPathTest, ValuesThatDoNotFitFailClearly) {
  EXPECT_EQ(Failure(L"Kind", L"bkFourth"), "Invalid Ident value: bkFourth");
  EXPECT_EQ(Failure(L"Visible", L"yes"), "Invalid Ident value: yes");
  EXPECT_EQ(Failure(L"Width", L"wide"), "Invalid Ident value: wide");
  EXPECT_EQ(Failure(L"Anchors", L"[akLeft, akNowhere]"), "Invalid Ident value: akNowhere");
  EXPECT_EQ(Failure(L"Width", L"99999999999999999999"), "Invalid Ident value: 99999999999999999999");
  EXPECT_EQ(Failure(L"Width", L"'text'"), "Invalid property value for Width");
  EXPECT_EQ(Failure(L"Items", L"(1 2)"), "Invalid property value for Items");
  EXPECT_THAT(Failure(L"Caption", L"'unterminated"), ::testing::HasSubstr("line 1"));
  // Integers past any coordinate would only overflow whatever lays them out.
  for (const wchar_t* far : {L"2147483647", L"-2147483648", L"$80000000", L"16777217"})
    EXPECT_EQ(Failure(L"Width", far), "Invalid property value for Width") << far;
  EXPECT_EQ(button.width, 0);
  EXPECT_EQ(button.kind, 0);
  EXPECT_TRUE(Set(L"Width", L"-16777216"));
  EXPECT_EQ(button.width, -16777216);
}

TEST_F(PropertyPathTest, SubObjectsAreFollowedAndTheFontRemembersItsBaseHeight) {
  EXPECT_TRUE(Set(L"Font.Height", L"-16"));
  EXPECT_EQ(button.font.Height(), -16);
  EXPECT_EQ(button.font.BaseHeight(), -16);
  EXPECT_TRUE(Set(L"Font.Size", L"9"));
  EXPECT_EQ(button.font.Height(), -12);
  EXPECT_EQ(button.font.BaseHeight(), -12);
  EXPECT_TRUE(Set(L"Font.Style", L"[fsItalic, fsUnderline]"));
  EXPECT_EQ(button.font.Style(), unsigned{fsItalic | fsUnderline});
  EXPECT_TRUE(Set(L"AllSkin.IgnoreValues", L"('Width')"));
  EXPECT_THAT(button.allSkin.IgnoreValues(), ElementsAre(L"Width"));
}

TEST_F(PropertyPathTest, MarginsAreReachedByPathAndTellTheirOwner) {
  EXPECT_TRUE(Set(L"BackgroundOption.Left", L"6"));
  EXPECT_TRUE(button.backgroundLocked) << "a change from outside locks the owner's margins";
  EXPECT_TRUE(Set(L"BackgroundOption.StretchMode", L"sdmFill"));
  EXPECT_EQ(button.backgroundOption.Value(), (TDesignRect{StretchMode::Fill, 6, 0, 0, 0}));
  EXPECT_EQ(Failure(L"BackgroundOption.StretchMode", L"sdmTile"), "Invalid Ident value: sdmTile");

  EXPECT_TRUE(Set(L"BackgroundOption.Empty", L"True"));
  EXPECT_EQ(button.backgroundOption.Value(), (TDesignRect{StretchMode::Fill, 0, 0, 0, 0}));
  EXPECT_TRUE(Set(L"BackgroundOption.Empty", L"False"));  // the owner fills in
  EXPECT_EQ(button.backgroundOption.Value(), (TDesignRect{StretchMode::Default, 4, 4, 4, 4}));
  EXPECT_TRUE(Set(L"BackgroundOption.Empty", L"False"));  // margins already set stay
  EXPECT_EQ(button.backgroundOption.Value().left, 4);

  // Written back as the margins, never as Empty.
  const auto lines = WritePropertyLines(button, nullptr, nullptr);
  EXPECT_THAT(lines, ::testing::Contains(L"BackgroundOption.Left=4"));
  for (const auto& line : lines) EXPECT_EQ(line.find(L"Empty"), std::wstring::npos) << line;
}

TEST_F(PropertyPathTest, WithoutAStorePicturesStayAndIdentifiersAreStillMade) {
  TTestButton other(registry);
  EXPECT_FALSE(SetPropertyPath(other, L"ImageNormal.Text", L"('imgname=a.png')", PropertyContext{}));
  EXPECT_TRUE(other.imageNormal.Empty());
  EXPECT_TRUE(SetPropertyPath(other, L"Color", L"text_color.cl_text_b", PropertyContext{}));
  EXPECT_EQ(other.color, 0xFFEDBB8Du);
}

}  // namespace
}  // namespace nudgelet::skin
