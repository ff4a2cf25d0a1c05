#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/Font.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/SkinnedObjects.h"

namespace nudgelet::skin {
namespace {

using namespace nudgelet::skin::testing;

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit) {
  struct Case {
    int a, b, c, expected;
  } const cases[] = {
      {8, 96, 72, 11},
      {9, 96, 72, 12},
      {-11, 72, 96, -8},
      {1, 1, 2, 1},
      {-1, 1, 2, -1},
      {1, -1, 2, -1},
      {3, 1, -2, -2},
      {10, 120, 72, 17},
      {5, 5, 0, -1},
      {0x7FFFFFFF, 2, 1, -1},
      {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Font, SizeAndHeightFollowThePixelsPerInch) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetPixelsPerInch(120);
  EXPECT_EQ(font.Size(), 8);  // the height stays, the points follow
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -17);
}

// Fonts on an empty skin, so that only what the test sets reaches them.
class RdFontTest : public ::testing::Test {
 protected:
  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\App\\skin\\"};
  SkinClassRegistry registry{store};
  TTestButton form{registry}, label{registry};
};

TEST_F(RdFontTest, AFollowingFontKeepsFollowingWhatItDidNotSetItself) {
  form.font.SetName(L"Segoe UI");
  label.font.LinkTo(&form.font, true);
  EXPECT_TRUE(label.font.ParentFont());
  EXPECT_EQ(label.font.Name(), L"Segoe UI");

  label.font.SetColor(0x00336699);  // what a skin class setting only the colour does
  EXPECT_TRUE(label.font.Own(TRdFont::kOwnColor));
  EXPECT_FALSE(label.font.Own(TRdFont::kOwnHeight));
  EXPECT_FALSE(label.font.ParentFont());

  form.font.SetSize(14);
  form.font.SetColor(0x00000000);
  EXPECT_EQ(label.font.Size(), 14);
  EXPECT_EQ(label.font.GetColor(), 0x00336699u);

  label.font.SetParentFont(true);
  EXPECT_EQ(label.font.GetColor(), 0x00000000u);
  EXPECT_TRUE(label.font.ParentFont());
  label.font.SetParentFont(false);
  form.font.SetSize(20);
  EXPECT_EQ(label.font.Size(), 14);
}

TEST_F(RdFontTest, SettingWhatTheFontAlreadyHasIsNoDecisionOfItsOwn) {
  label.font.LinkTo(&form.font, true);
  label.font.SetHeight(form.font.Height());
  EXPECT_FALSE(label.font.Own(TRdFont::kOwnHeight));
  // Stored form data that says so is one.
  label.State().reading = true;
  label.font.SetHeight(form.font.Height());
  EXPECT_TRUE(label.font.Own(TRdFont::kOwnHeight));
}

TEST_F(RdFontTest, APlainParentLeavesAntialiasingAndTheSkinClassOwn) {
  TFont plain;
  plain.SetName(L"Arial");
  TRdFont font(registry, nullptr, nullptr);
  font.SetStyle(fsBold);
  font.LinkTo(&plain, true);
  EXPECT_EQ(font.Name(), L"Arial");
  EXPECT_EQ(font.Style(), 0u);
  EXPECT_EQ(font.StyleBeforeLink(), unsigned{fsBold});
  EXPECT_TRUE(font.Own(TRdFont::kOwnAntialias));
  EXPECT_TRUE(font.Own(TRdFont::kOwnSkinClass));
  EXPECT_FALSE(font.ParentFont());  // only a skinned parent counts

  font.Unlink();
  plain.SetName(L"Verdana");
  EXPECT_EQ(font.Name(), L"Arial");
}

TEST_F(RdFontTest, ASkinnedParentPassesOnAntialiasingAndItsSkinClass) {
  form.font.SetAntialiased(true);
  form.font.AllSkin().SetIgnoreValues({L"Size"});
  form.font.AllSkin().SetSkinClass(L"title");
  label.font.LinkTo(&form.font, true);
  EXPECT_TRUE(label.font.Antialiased());
  EXPECT_EQ(label.font.AllSkin().SkinClass(), L"title");
  EXPECT_FALSE(label.font.Own(TRdFont::kOwnSkinClass));
  EXPECT_TRUE(label.font.FollowsParentSkinClass());
  EXPECT_TRUE(label.font.ParentFont());

  label.font.AllSkin().SetSkinClass(L"caption");
  EXPECT_TRUE(label.font.Own(TRdFont::kOwnSkinClass));
}

TEST_F(RdFontTest, ABatchTellsOnceAndMakesTheFaceOnce) {
  int changes = 0;
  label.font.onChange = [&] { ++changes; };
  const auto face = label.font.FaceGeneration();
  label.font.BeginUpdate();
  label.font.SetAntialiased(true);
  label.font.SetSize(11);
  label.font.SetAntialiased(false);
  label.font.SetAntialiased(true);
  EXPECT_EQ(changes, 0);
  label.font.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(label.font.FaceGeneration(), face + 1);
  EXPECT_EQ(label.font.Describe().quality, 4);
  label.font.SetAntialiased(false);
  EXPECT_EQ(label.font.Describe().quality, 0);
  EXPECT_EQ(changes, 2);
}

TEST_F(RdFontTest, WhatIsStoredFollowsTheOwnValueFlags) {
  auto stored = [](TRdFont& font, const wchar_t* name) { return TRdFont::ClassType().Find(name)->IsStored(font); };
  // Without a parent everything is stored but antialiasing when off and an empty skin class.
  EXPECT_TRUE(stored(form.font, L"Name"));
  EXPECT_TRUE(stored(form.font, L"Height"));
  EXPECT_FALSE(stored(form.font, L"Antialiased"));
  EXPECT_FALSE(stored(form.font, L"AllSkin"));
  EXPECT_FALSE(stored(form.font, L"Size"));
  form.font.SetAntialiased(true);
  form.font.AllSkin().SetIgnoreValues({L"Color"});
  EXPECT_TRUE(stored(form.font, L"Antialiased"));
  EXPECT_TRUE(stored(form.font, L"AllSkin"));

  label.font.LinkTo(&form.font, true);
  EXPECT_FALSE(stored(label.font, L"Name"));
  EXPECT_FALSE(stored(label.font, L"Antialiased"));
  label.font.SetName(L"Consolas");
  EXPECT_TRUE(stored(label.font, L"Name"));
  EXPECT_FALSE(stored(label.font, L"Color"));

  // The published order puts ParentFont first and the skin class last.
  const auto properties = TRdFont::ClassType().Properties();
  ASSERT_EQ(properties.size(), 9u);
  EXPECT_EQ(properties.front()->name, L"ParentFont");
  EXPECT_EQ(properties.back()->name, L"AllSkin");
}

TEST_F(RdFontTest, AParentGoingAwayLeavesTheFollowerStanding) {
  auto parent = std::make_unique<TRdFont>(registry, nullptr, nullptr);
  label.font.LinkTo(parent.get(), true);
  parent.reset();
  EXPECT_EQ(label.font.ParentLink(), nullptr);
  label.font.SetSize(9);
  EXPECT_EQ(label.font.Size(), 9);
}

}  // namespace
}  // namespace nudgelet::skin
