#include <gtest/gtest.h>

#include "ui/ImageButton.h"
#include "ui/SkinPictures.h"

namespace nudgelet::ui {
namespace {

using testing::Near;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080,
                        kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kWhite = 0xFFFFFFFF;

class ImageButtonTest : public testing::PictureTest {
 protected:
  ImageButtonTest() {
    const std::pair<const wchar_t*, std::uint32_t> solids[] = {{L"normal.png", kRed},      {L"over.png", kBlue},
                                                               {L"down.png", kGreen},      {L"disabled.png", kGrey},
                                                               {L"selected.png", kYellow}, {L"expand.png", kCyan}};
    for (const auto& [name, colour] : solids) AddSolid(name, 40, 20, colour);
    AddSolid(L"small.png", 30, 12, kRed);
    AddSolid(L"icon.png", 10, 10, kGreen);
    for (const auto& [name, colour] : {std::pair{L"box0.png", kRed}, {L"box1.png", kGreen}, {L"box2.png", kBlue}}) {
      AddSolid(name, 12, 12, colour);
    }
  }

  // A 40 × 20 button at (10, 10) with the normal and over pictures.
  TRdImageButton& Button() {
    auto& b = Add<TRdImageButton>(10, 10, 40, 20);
    Use(b.imageNormal, L"normal.png");
    Use(b.imageOver, L"over.png");
    return b;
  }

  std::uint32_t Background() { return Paint().At(12, 12); }
};

TEST_F(ImageButtonTest, TheBackgroundFollowsTheStateAndMissingPicturesFallBack) {
  enum : unsigned { kNormal = 1, kOver = 2, kDown = 4, kDisabledPic = 8, kSelectedPic = 16, kExpandPic = 32 };
  enum : unsigned { sHover = 1, sPress = 2, sDisable = 4, sSelect = 8, sExpand = 16 };
  constexpr unsigned kAll = 63;
  struct Case {
    unsigned pictures, state;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {kAll, 0, kRed},
      {kAll, sHover, kBlue},
      {kAll, sHover | sPress, kGreen},
      {kAll & ~kDown, sHover | sPress, kBlue},
      {kAll & ~kOver, sHover, kRed},
      {kAll, sDisable, kGrey},
      {kAll, sDisable | sHover, kGrey},
      {kAll & ~kDisabledPic, sDisable, kRed},
      {kAll & ~kDisabledPic, sDisable | sExpand, kCyan},
      {kAll, sSelect, kYellow},
      {kAll, sSelect | sHover, kYellow},
      {kAll, sSelect | sExpand, kYellow},
      {kAll & ~kSelectedPic, sSelect | sExpand, kCyan},
      {kAll, sExpand, kCyan},
      {kAll & ~kNormal, 0, kWhite},
  };
  for (const Case& c : cases) {
    auto& b = Add<TRdImageButton>(10, 10, 40, 20);
    skin::TPicture* slots[] = {&b.imageNormal,   &b.imageOver,     &b.imageDown,
                               &b.imageDisabled, &b.imageSelected, &b.expandImage};
    const wchar_t* names[] = {L"normal.png", L"over.png", L"down.png", L"disabled.png", L"selected.png", L"expand.png"};
    for (int i = 0; i < 6; ++i) {
      if (c.pictures & (1u << i)) Use(*slots[i], names[i]);
    }
    if (c.state & sSelect) b.SetButtonState(TButtonState::bsSelected);
    if (c.state & sExpand) b.SetExpand(true);
    if (c.state & sDisable) b.SetEnabled(false);
    if (c.state & sHover) Move(20, 20);
    if (c.state & sPress) Press(20, 20);
    EXPECT_EQ(Background(), c.expected) << "pictures " << c.pictures << ", state " << c.state;
    form.RemoveControl(b);
    Move(300, 250);
  }
}

TEST_F(ImageButtonTest, DraggingOffShowsTheNormalPictureAndReleasingOutsideDoesNotClick) {
  auto& b = Button();
  Use(b.imageDown, L"down.png");
  int clicks = 0;
  b.onClick = [&](skin::TPersistent&) { ++clicks; };
  Move(20, 20), Press(20, 20);
  EXPECT_EQ(Background(), kGreen);
  Move(100, 100);
  EXPECT_EQ(Background(), kRed);
  Move(20, 20);
  EXPECT_EQ(Background(), kGreen);
  Move(100, 100), Release(100, 100);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(b.ButtonState(), TButtonState::bsNormal);
  EXPECT_EQ(Background(), kRed);
  Click(20, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Background(), kBlue);
}

TEST_F(ImageButtonTest, ADisabledButtonWithoutItsPictureDrawsTheNormalOneInTheDisabledColour) {
  auto& b = Button();
  b.SetCaption(L"Go");
  b.Font()->SetColor(0x000000);
  b.fontDisabledColor = 0x808080;
  b.SetEnabled(false);
  EXPECT_EQ(Background(), kRed);
  EXPECT_EQ(text.ColorOf(L"Go"), 0x808080u);
  Move(20, 20);  // no hover while disabled
  EXPECT_EQ(Background(), kRed);
  EXPECT_EQ(text.ColorOf(L"Go"), 0x808080u);
}

TEST_F(ImageButtonTest, ACutCaptionEndsInAnEllipsisAndBecomesTheHint) {
  struct Case {
    std::wstring caption, hint;
    int margin;
    std::wstring drawn;
    bool cut;
    std::wstring shown;  // empty: no hint
  };
  const std::wstring longer = L"12345678901234567890";  // 120 pixels on a 60-pixel button
  const Case cases[] = {
      {longer, L"", 0, L"1234567...", true, longer},    {longer, L"Custom", 0, L"1234567...", true, L"Custom"},
      {longer, L"", 5, L"12345...", true, longer},      {L"Update", L"", 0, L"Update", false, L""},
      {L"Update", L"Custom", 0, L"Update", false, L""},
  };
  for (const Case& c : cases) {
    auto& b = Add<TRdImageButton>(10, 10, 60, 20);
    b.textLeftMargin = b.textRightMargin = c.margin;
    b.SetAutoShowHint(true);
    b.SetHint(c.hint);
    b.SetCaption(c.caption);
    Paint();
    EXPECT_EQ(text.AllText(), c.drawn) << c.caption << " / " << c.margin;
    EXPECT_EQ(b.FoundTextEllipsis(), c.cut) << c.caption;
    std::wstring hint;
    EXPECT_EQ(b.HintAt(1, 1, hint), !c.shown.empty()) << c.caption << " / " << c.hint;
    EXPECT_EQ(c.shown.empty() ? L"" : hint, c.shown);
    form.RemoveControl(b);
  }
}

TEST_F(ImageButtonTest, EllipsisByHeightKeepsTheLinesThatFit) {
  auto& b = Add<TRdImageButton>(10, 10, 60, 30);  // two lines of 13
  b.wordWrap = true;
  b.ellipsisByHeight = true;
  b.SetCaption(L"aaaaaaaa bbbbbbbb cccccccc dddddddd eeeeeeee");  // one word a line
  Paint();
  ASSERT_EQ(text.drawn.size(), 2u) << text.AllText();
  EXPECT_EQ(text.drawn[0].text, L"aaaaaaaa");
  EXPECT_EQ(text.drawn[1].text.substr(text.drawn[1].text.size() - 3), L"...");
  EXPECT_EQ(text.drawn[0].at.top, 12);  // the two lines centred in 30
  EXPECT_TRUE(b.FoundTextEllipsis());
  EXPECT_TRUE(b.FoundTextWordBreak());
}

TEST_F(ImageButtonTest, AutoSizeFollowsTheNormalPictureOnlyWhenThereIsOneAndTheCaptionWhenAsked) {
  auto& b = Add<TRdImageButton>(10, 10, 75, 25);
  b.SetAutoSize(true);
  Use(b.imageOver, L"over.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{10, 10, 85, 35}));
  Use(b.imageNormal, L"small.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{10, 10, 40, 22}));
  b.SetAlign(TAlign::alTop);  // the width is the parent's now, the height still the picture's
  EXPECT_EQ(b.Width(), 400);
  Use(b.imageNormal, L"normal.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{0, 0, 400, 20}));

  // Sized to its caption beside an icon on the left, the caption keeps every letter.
  auto& t = Add<TRdImageButton>(10, 50, 100, 30);
  Use(t.dnIcons[0], L"icon.png");
  t.iconAlign = TAlignment::taLeftJustify;
  t.captionAlignment = TAlignment::taLeftJustify;
  t.SetCaption(L"Hello");
  t.SetAutoSizeByText(true);
  EXPECT_EQ(t.Width(), 10 + 10 + 20 + 30);  // icon offset, icon, text offset, caption
  Paint();
  EXPECT_EQ(text.AllText(), L"Hello");
  EXPECT_FALSE(t.FoundTextEllipsis());
}

// The fade draws the pictures over each other at the step's opacity; what
// shows is a mix of red (normal) and blue (over) on the white form.
TEST_F(ImageButtonTest, HoveringFadesBetweenTheNormalAndTheOverPicture) {
  struct Case {
    THoverEffect effect;
    bool leaving;
    unsigned ms;
    int r, g, b;
  };
  const Case cases[] = {
      {THoverEffect::ibeSingle, false, 0, 255, 0, 0},     // not a tick yet: still normal
      {THoverEffect::ibeSingle, false, 10, 165, 0, 90},   // step 90: over, normal at 165 on top
      {THoverEffect::ibeSingle, false, 20, 155, 0, 100},  // step 100
      {THoverEffect::ibeDouble, false, 10, 223, 58, 90},  // over at 90 on white, normal at 165 on top
      {THoverEffect::ibeSingle, false, 140, 0, 0, 255},   // step 220 ends the fade: over
      {THoverEffect::ibeSingle, true, 10, 90, 0, 165},    // leaving: normal, over at 165 on top
      {THoverEffect::ibeSingle, true, 140, 255, 0, 0},
  };
  for (const Case& c : cases) {
    auto& b = Button();
    b.hoverEffect = c.effect;
    Move(20, 20);
    if (c.leaving) {
      timers.Advance(140);
      Move(300, 250);
    }
    EXPECT_EQ(b.FadeDirection(), c.leaving ? TFadeDirection::Leaving : TFadeDirection::Entering);
    timers.Advance(c.ms);
    EXPECT_TRUE(Near(Paint().At(12, 12), c.r, c.g, c.b)) << c.ms << (c.leaving ? " leaving" : " entering");
    EXPECT_EQ(b.FadeStep() == 0, c.ms == 0 || c.ms == 140);
    form.RemoveControl(b);
    Move(300, 250);
    timers.Advance(200);
  }

  // A press stops it; and without both pictures, or with a check box, there is none.
  auto& b = Button();
  b.hoverEffect = THoverEffect::ibeSingle;
  Move(20, 20);
  timers.Advance(10);
  Press(20, 20);
  timers.Advance(10);
  EXPECT_EQ(b.FadeDirection(), TFadeDirection::None);
  EXPECT_EQ(Background(), kBlue);
  Release(20, 20);
  Move(300, 250);
  timers.Advance(200);
  b.imageOver.Clear();
  Move(20, 20);
  EXPECT_EQ(b.FadeDirection(), TFadeDirection::None);
  Move(300, 250);
  Use(b.imageOver, L"over.png");
  b.SetShowCheckBox(true);
  Move(20, 20);
  EXPECT_EQ(b.FadeDirection(), TFadeDirection::None);
}

TEST_F(ImageButtonTest, AClickOnTheIconIsTheIconsAndNotTheButtons) {
  auto& b = Add<TRdImageButton>(10, 10, 100, 30);
  Use(b.dnIcons[static_cast<int>(TIconState::isNormal)], L"icon.png");  // at (80, 10) in the button
  b.iconCursor = crHandPoint;
  std::vector<std::string> events;
  b.onClick = [&](skin::TPersistent&) { events.push_back("click"); };
  b.iconOnClick = [&](skin::TPersistent&) { events.push_back("icon"); };
  const int onX = 95, onY = 25, offX = 30;

  Move(offX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isNormal);
  Move(onX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  EXPECT_EQ(host.cursor, crHandPoint);
  Press(onX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isDown);
  EXPECT_EQ(b.ButtonState(), TButtonState::bsNormal);  // the icon's press is not the button's
  Release(onX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  Click(offX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isNormal);
  // Pressed on the icon, released beside it: the button's click.
  Move(onX, onY), Press(onX, onY), Move(offX, onY), Release(offX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isNormal);
  EXPECT_EQ(events, (std::vector<std::string>{"icon", "click", "click"}));

  events.clear();
  b.iconOnClick = nullptr;
  Click(onX, onY);
  EXPECT_TRUE(events.empty());

  b.iconFullClick = true;
  Move(offX, onY), Press(offX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isDown);
  EXPECT_EQ(b.ButtonState(), TButtonState::bsDown);
  Release(offX, onY);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  EXPECT_EQ(events, (std::vector<std::string>{"click"}));
}

TEST_F(ImageButtonTest, TheCheckBoxCyclesGrayedCheckedUnchecked) {
  auto& b = Add<TRdImageButton>(10, 10, 100, 30);
  b.SetShowCheckBox(true);
  for (int s = 0; s < 3; ++s) Use(b.checkBoxImages[s][0], L"box" + std::to_wstring(s) + L".png");
  Use(b.dnIcons[0], L"icon.png");
  b.SetCheckState(TCheckBoxState::cbGrayed);
  std::vector<std::string> events;
  b.onClick = [&](skin::TPersistent&) { events.push_back("click"); };
  b.checkBoxBeforeClick = [&](skin::TPersistent&) { events.push_back("before"); };
  b.onCheckedChanged = [&](skin::TPersistent&) { events.push_back("changed"); };
  b.checkBoxOnClick = [&](skin::TPersistent&) { events.push_back("box"); };
  const int boxX = 25, boxY = 25, offX = 60, iconX = 95;  // the box at (10, 9) in the button, 12 × 12
  EXPECT_EQ(Paint().At(boxX, boxY), kBlue);

  b.checkBoxFullClick = false;
  Click(boxX, boxY);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbChecked);
  EXPECT_EQ(Paint().At(boxX, boxY), kGreen);
  Click(boxX, boxY);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbUnchecked);
  Click(boxX, boxY);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbChecked);
  Click(offX, boxY);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbChecked);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "changed", "box", "before", "changed", "box", "before",
                                              "changed", "box", "click"}));

  events.clear();
  b.checkBoxFullClick = true;
  Click(offX, boxY);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbUnchecked);
  Click(iconX, boxY);  // the icon is no place to toggle from, and clicks only itself
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbUnchecked);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "changed", "box", "click"}));
}

TEST_F(ImageButtonTest, BlackOrClearPixelsOfTheRangePictureLetTheMouseThrough) {
  Bitmap mask(20, 20);  // black, white, clear in columns
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) mask.At(x, y) = x < 10 ? 0xFF000000 : x < 15 ? kWhite : 0;
  }
  AddPicture(L"range.png", mask);
  struct Case {
    int width;
    bool sliced;
    int x;
    bool hit;
  };
  const Case cases[] = {
      {30, false, 5, false}, {30, false, 12, true}, {30, false, 17, false}, {30, false, 25, false},
      {40, true, 2, false},  {40, true, 12, false}, {40, true, 27, true},   {40, true, 37, false},
  };
  for (const Case& c : cases) {
    auto& b = Add<TRdImageButton>(10, 10, c.width, 20);
    Use(b.imageRange, L"range.png");
    if (c.sliced) b.ImageOption().Assign({skin::StretchMode::Stretch, 5, 5, 5, 5});
    TControl* under = form.Root().ControlAt({10 + c.x, 20});
    EXPECT_EQ(under == &b, c.hit) << c.width << " at " << c.x;
    form.RemoveControl(b);
  }
}

}  // namespace
}  // namespace nudgelet::ui
