#include <gtest/gtest.h>

#include "ui/ImageButton.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::Near;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080,
                        kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kWhite = 0xFFFFFFFF;

class ImageButtonTest : public testing::PictureTest {
 protected:
  ImageButtonTest() {
    const std::pair<const wchar_t*, std::uint32_t> pictures[] = {{L"normal.png", kRed},      {L"over.png", kBlue},
                                                                 {L"down.png", kGreen},      {L"disabled.png", kGrey},
                                                                 {L"selected.png", kYellow}, {L"expand.png", kCyan}};
    for (const auto& [name, colour] : pictures) AddSolid(name, 40, 20, colour);
    AddSolid(L"small.png", 30, 12, kRed);
    AddSolid(L"icon.png", 10, 10, kGreen);
    for (int s = 0; s < 3; ++s)
      AddSolid(L"box" + std::to_wstring(s) + L".png", 12, 12, (0x00FF0000u >> (8 * s)) | kBlack);
  }

  static constexpr std::uint32_t kBlack = 0xFF000000;

  // A 40 × 20 button at (10, 10) with the normal (red) and over (blue) pictures.
  TRdImageButton& Button() {
    auto& b = Add<TRdImageButton>(10, 10, 40, 20);
    Use(b.imageNormal, L"normal.png");
    Use(b.imageOver, L"over.png");
    return b;
  }

  std::uint32_t Background() { return Paint().At(12, 12); }
};

TEST_F(ImageButtonTest, TheBackgroundFollowsTheStateAndMissingPicturesFallBack) {
  enum : unsigned { kNormal = 1, kOver = 2, kDown = 4, kDisabledPic = 8, kSelectedPic = 16, kAll = 63 };
  enum : unsigned { sHover = 1, sPress = 2, sDisable = 4, sSelect = 8, sExpand = 16 };
  const std::tuple<unsigned, unsigned, std::uint32_t> cases[] = {
      {kAll, 0, kRed},
      {kAll, sHover, kBlue},
      {kAll, sHover | sPress, kGreen},
      {kAll & ~kDown, sHover | sPress, kBlue},
      {kAll & ~kOver, sHover, kRed},
      {kAll, sDisable | sHover, kGrey},
      {kAll & ~kDisabledPic, sDisable, kRed},
      {kAll & ~kDisabledPic, sDisable | sExpand, kCyan},
      {kAll, sSelect | sHover, kYellow},  // no hover while selected
      {kAll, sSelect | sExpand, kYellow},
      {kAll & ~kSelectedPic, sSelect | sExpand, kCyan},
      {kAll, sExpand, kCyan},
      {kAll & ~kNormal, 0, kWhite},
  };
  for (const auto& [pictures, state, expected] : cases) {
    auto& b = Add<TRdImageButton>(10, 10, 40, 20);
    skin::TPicture* slots[] = {&b.imageNormal,   &b.imageOver,     &b.imageDown,
                               &b.imageDisabled, &b.imageSelected, &b.expandImage};
    const wchar_t* names[] = {L"normal.png", L"over.png", L"down.png", L"disabled.png", L"selected.png", L"expand.png"};
    for (int i = 0; i < 6; ++i) {
      if (pictures & (1u << i)) Use(*slots[i], names[i]);
    }
    if (state & sSelect) b.SetButtonState(TButtonState::bsSelected);
    if (state & sExpand) b.SetExpand(true);
    if (state & sDisable) b.SetEnabled(false);
    if (state & sHover) Move(20, 20);
    if (state & sPress) Press(20, 20);
    EXPECT_EQ(Background(), expected) << "pictures " << pictures << ", state " << state;
    form.RemoveControl(b);
    Move(300, 250);
  }
}

TEST_F(ImageButtonTest, DraggingOffShowsTheNormalPictureAndADisabledButtonItsDisabledColour) {
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
  EXPECT_EQ(Background(), kRed);
  Click(20, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Background(), kBlue);

  b.SetCaption(L"Go");
  b.fontDisabledColor = 0x808080;
  b.SetEnabled(false);
  EXPECT_EQ(Background(), kRed);
  EXPECT_EQ(text.drawn.size(), 1u);
  EXPECT_EQ(text.ColorOf(L"Go"), 0x808080u);
}

TEST_F(ImageButtonTest, ACutCaptionEndsInAnEllipsisAndBecomesTheHint) {
  const std::wstring longer = L"12345678901234567890";  // 120 pixels on a 60-pixel button
  struct Case {
    std::wstring caption, hint;
    int margin;
    std::wstring drawn, shown;  // shown empty: no hint
  };
  const Case cases[] = {{longer, L"", 0, L"1234567...", longer},
                        {longer, L"Custom", 0, L"1234567...", L"Custom"},
                        {longer, L"", 5, L"12345...", longer},
                        {L"Update", L"Custom", 0, L"Update", L""}};
  for (const Case& c : cases) {
    auto& b = Add<TRdImageButton>(10, 10, 60, 20);
    b.textLeftMargin = b.textRightMargin = c.margin;
    b.SetAutoShowHint(true);
    b.SetHint(c.hint);
    b.SetCaption(c.caption);
    Paint();
    EXPECT_EQ(text.AllText(), c.drawn) << c.caption << " / " << c.margin;
    EXPECT_EQ(b.FoundTextEllipsis(), c.drawn != c.caption);
    std::wstring hint;
    EXPECT_EQ(b.HintAt(1, 1, hint), !c.shown.empty()) << c.caption << " / " << c.hint;
    EXPECT_EQ(c.shown.empty() ? L"" : hint, c.shown);
    form.RemoveControl(b);
  }

  // Five lines in room for two: two drawn, the second ending in an ellipsis.
  auto& b = Add<TRdImageButton>(10, 10, 60, 30);
  b.wordWrap = b.ellipsisByHeight = true;
  b.SetCaption(L"aaaaaaaa bbbbbbbb cccccccc dddddddd eeeeeeee");
  Paint();
  ASSERT_EQ(text.drawn.size(), 2u) << text.AllText();
  EXPECT_EQ(text.drawn[0].text, L"aaaaaaaa");
  EXPECT_TRUE(text.drawn[1].text.ends_with(L"..."));
  EXPECT_EQ(text.drawn[0].at.top, 12);  // the two lines centred in 30
  EXPECT_TRUE(b.FoundTextEllipsis());
  EXPECT_TRUE(b.FoundTextWordBreak());
}

TEST_F(ImageButtonTest, AutoSizeFollowsTheNormalPictureWhenThereIsOneAndTheCaptionWhenAsked) {
  auto& b = Add<TRdImageButton>(10, 10, 75, 25);
  b.SetAutoSize(true);
  Use(b.imageOver, L"over.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{10, 10, 85, 35}));
  Use(b.imageNormal, L"small.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{10, 10, 40, 22}));
  b.SetAlign(TAlign::alTop);  // the width is the parent's now, the height still the picture's
  Use(b.imageNormal, L"normal.png");
  EXPECT_EQ(b.BoundsRect(), (Rect{0, 0, 400, 20}));

  // Sized to its caption beside an icon on the left, the caption keeps every letter.
  auto& t = Add<TRdImageButton>(10, 50, 100, 30);
  Use(t.dnIcons[0], L"icon.png");
  t.iconAlign = t.captionAlignment = TAlignment::taLeftJustify;
  t.SetCaption(L"Hello");
  t.SetAutoSizeByText(true);
  EXPECT_EQ(t.Width(), 10 + 10 + 20 + 30);  // icon offset, icon, text offset, caption
  Paint();
  EXPECT_EQ(text.AllText(), L"Hello");
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
    if (c.leaving) timers.Advance(140), Move(300, 250);
    EXPECT_EQ(b.FadeDirection(), c.leaving ? TFadeDirection::Leaving : TFadeDirection::Entering);
    timers.Advance(c.ms);
    EXPECT_TRUE(Near(Paint().At(12, 12), c.r, c.g, c.b)) << c.ms << (c.leaving ? " leaving" : " entering");
    EXPECT_EQ(b.FadeStep() == 0, c.ms == 0 || c.ms == 140);
    form.RemoveControl(b);
    Move(300, 250);
  }

  // A press stops it.
  auto& b = Button();
  b.hoverEffect = THoverEffect::ibeDouble;
  Move(20, 20), timers.Advance(10), Press(20, 20), timers.Advance(10);
  EXPECT_EQ(b.FadeDirection(), TFadeDirection::None);
  EXPECT_EQ(Background(), kBlue);
}

TEST_F(ImageButtonTest, AClickOnTheIconIsTheIconsAndNotTheButtons) {
  auto& b = Add<TRdImageButton>(10, 10, 100, 30);
  Use(b.dnIcons[static_cast<int>(TIconState::isNormal)], L"icon.png");  // at (80, 10) in the button
  b.iconCursor = crHandPoint;
  std::vector<std::string> events;
  b.onClick = [&](skin::TPersistent&) { events.push_back("click"); };
  b.iconOnClick = [&](skin::TPersistent&) { events.push_back("icon"); };
  const int on = 95, off = 30, y = 25;

  Move(off, y);
  EXPECT_EQ(b.IconState(), TIconState::isNormal);
  Move(on, y);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  EXPECT_EQ(host.cursor, crHandPoint);
  Press(on, y);
  EXPECT_EQ(b.IconState(), TIconState::isDown);
  EXPECT_EQ(b.ButtonState(), TButtonState::bsNormal);  // the icon's press is not the button's
  Release(on, y);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  Click(off, y);
  // Pressed on the icon, released beside it: the button's click.
  Move(on, y), Press(on, y), Move(off, y), Release(off, y);
  EXPECT_EQ(b.IconState(), TIconState::isNormal);
  b.iconOnClick = nullptr;
  Click(on, y);  // still the icon's, though nobody listens
  EXPECT_EQ(events, (std::vector<std::string>{"icon", "click", "click"}));

  b.iconFullClick = true;  // the icon goes with the whole button
  Move(off, y), Press(off, y);
  EXPECT_EQ(b.IconState(), TIconState::isDown);
  EXPECT_EQ(b.ButtonState(), TButtonState::bsDown);
  Release(off, y);
  EXPECT_EQ(b.IconState(), TIconState::isHover);
  EXPECT_EQ(events.back(), "click");
}

TEST_F(ImageButtonTest, TheCheckBoxGoesFromGrayedToCheckedThenTogglesChecked) {
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
  const int box = 25, y = 25, off = 60, icon = 95;  // the box 12 × 12 at (10, 9) in the button
  EXPECT_EQ(Paint().At(box, y), kBlue);

  b.checkBoxFullClick = false;
  const TCheckBoxState expected[] = {TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked};
  for (TCheckBoxState state : expected) {
    Click(box, y);
    EXPECT_EQ(b.CheckState(), state);
  }
  EXPECT_EQ(Paint().At(box, y), kGreen);
  Click(off, y);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbChecked);
  const std::vector<std::string> toggle{"before", "changed", "box"};
  std::vector<std::string> want;
  for (int i = 0; i < 3; ++i) want.insert(want.end(), toggle.begin(), toggle.end());
  want.push_back("click");
  EXPECT_EQ(std::exchange(events, {}), want);

  b.checkBoxFullClick = true;
  Click(off, y);
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbUnchecked);
  Click(icon, y);  // the icon is no place to toggle from, and clicks only itself
  EXPECT_EQ(b.CheckState(), TCheckBoxState::cbUnchecked);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "changed", "box", "click"}));
}

TEST_F(ImageButtonTest, BlackOrClearPixelsOfTheRangePictureLetTheMouseThrough) {
  Bitmap mask(20, 20);  // black, white and clear columns
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) mask.At(x, y) = x < 10 ? kBlack : x < 15 ? kWhite : 0;
  }
  AddPicture(L"range.png", mask);
  // A 30-pixel button as the picture is; a 40-pixel one stretches it between 5-pixel margins.
  const std::tuple<int, int, bool> cases[] = {{30, 5, false}, {30, 12, true},  {30, 17, false}, {30, 25, false},
                                              {40, 2, false}, {40, 12, false}, {40, 27, true},  {40, 37, false}};
  for (const auto& [width, x, hit] : cases) {
    auto& b = Add<TRdImageButton>(10, 10, width, 20);
    Use(b.imageRange, L"range.png");
    if (width == 40) b.ImageOption().Assign({skin::StretchMode::Stretch, 5, 5, 5, 5});
    EXPECT_EQ(form.Root().ControlAt({10 + x, 20}) == &b, hit) << width << " at " << x;
    form.RemoveControl(b);
  }
}

}  // namespace
}  // namespace nudgelet::ui
