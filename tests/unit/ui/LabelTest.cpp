#include <gtest/gtest.h>

#include "ui/Label.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::UiTest;

class LabelTest : public UiTest {};

// Characters are 6 pixels wide and lines 13 high in the test font.
TEST_F(LabelTest, EndEllipsisCutsTheTextAndOffersItAsHint) {
  auto& label = Add<TRdLabel>(10, 10, 140, 17);
  label.SetAutoSize(false);
  label.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
  label.SetShowHint(true);
  label.SetAutoShowHint(true);
  label.SetCaption(std::wstring(50, L'x'));  // 300 pixels
  Paint();
  EXPECT_TRUE(label.FoundTextEllipsis());
  EXPECT_EQ(text.AllText(), std::wstring(20, L'x') + L"...");  // 23 × 6 = 138 of 140
  std::wstring hint;
  EXPECT_TRUE(label.HintAt(1, 1, hint));
  EXPECT_EQ(hint, std::wstring(50, L'x'));

  label.SetCaption(L"short");
  Paint();
  EXPECT_FALSE(label.FoundTextEllipsis());
  EXPECT_FALSE(label.HintAt(1, 1, hint));
}

TEST_F(LabelTest, WordWrapWithEllipsisKeepsWholeLinesAndEndsTheLastOne) {
  auto& label = Add<TRdLabel>(0, 0, 60, 30);  // ten characters, two whole lines and a bit
  label.SetAutoSize(false);
  label.SetWordWrap(true);
  label.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
  label.SetCaption(L"one two three four five six");
  Paint();
  ASSERT_EQ(text.drawn.size(), 2u);
  EXPECT_EQ(text.drawn[1].text.substr(text.drawn[1].text.size() - 3), L"...");
  EXPECT_TRUE(label.FoundTextEllipsis());
}

TEST_F(LabelTest, AutoSizeKeepsTheEdgeTheAlignmentHolds) {
  struct Case {
    TAlignment alignment;
    TTextLayout layout;
    Rect expected;
  };
  // "abcd" is 24 × 13; with a text border of 2 all round, 28 × 17.
  const Case cases[] = {
      {TAlignment::taLeftJustify, TTextLayout::tlTop, {100, 50, 128, 67}},
      {TAlignment::taRightJustify, TTextLayout::tlTop, {172, 50, 200, 67}},
      {TAlignment::taCenter, TTextLayout::tlCenter, {100, 91, 128, 108}},
      {TAlignment::taLeftJustify, TTextLayout::tlBottom, {100, 133, 128, 150}},
  };
  for (const Case& c : cases) {
    auto& label = Add<TRdLabel>(100, 50, 100, 100);
    label.SetAutoSize(false);
    label.SetAlignment(c.alignment);
    label.SetLayout(c.layout);
    label.TextBorder().SetLeft(2), label.TextBorder().SetTop(2);
    label.TextBorder().SetRight(2), label.TextBorder().SetBottom(2);
    label.SetCaption(L"abcd");
    label.SetAutoSize(true);
    EXPECT_EQ(label.BoundsRect(), c.expected) << static_cast<int>(c.alignment) << "/" << static_cast<int>(c.layout);
    form.RemoveControl(label);
  }
}

TEST_F(LabelTest, ColoursFollowTheStateAndRepaintOnlyWhenTheyDiffer) {
  auto& label = Add<TRdLabel>(0, 0, 100, 17);
  label.SetCaption(L"A&B");
  label.Font()->SetColor(0x0000FF);
  label.SetFontHoverColor(0x00FF00);
  label.SetFontDownColor(0xFF0000);
  Paint();
  EXPECT_EQ(text.AllText(), L"A&B");  // without ShowAccelChar the ampersand is text
  EXPECT_EQ(text.ColorOf(L"A&B"), 0x0000FFu);

  host.invalidated.clear();
  Move(5, 5);
  EXPECT_FALSE(host.invalidated.empty());
  Paint();
  EXPECT_EQ(text.ColorOf(L"A&B"), 0x00FF00u);
  Press(5, 5);
  Paint();
  EXPECT_EQ(text.ColorOf(L"A&B"), 0xFF0000u);
  Release(5, 5);

  label.SetEnabled(false);
  label.SetFontDisabledColor(0x808080);
  Paint();
  EXPECT_EQ(text.drawn.size(), 1u);  // once, not embossed
  EXPECT_EQ(text.ColorOf(L"A&B"), 0x808080u);

  // A hover colour equal to the font's changes nothing, so nothing repaints.
  auto& same = Add<TRdLabel>(0, 100, 100, 17);
  same.SetCaption(L"x");
  same.SetFontHoverColor(same.Font()->GetColor());
  Move(300, 200);
  host.invalidated.clear();
  Move(5, 105);
  EXPECT_TRUE(host.invalidated.empty());
}

TEST_F(LabelTest, TheAcceleratorMarkIsHiddenOnlyWhenAsked) {
  auto& label = Add<TRdLabel>(0, 0, 100, 17);
  label.SetCaption(L"&Update");
  label.SetShowAccelChar(true);
  Paint();
  EXPECT_EQ(text.AllText(), L"Update");
  EXPECT_EQ(AcceleratorOf(L"&Update"), L'U');
  EXPECT_EQ(AcceleratorOf(L"Tom && Jerry"), 0);
}

}  // namespace
}  // namespace nudgelet::ui
