#include <gtest/gtest.h>

#include "base/Coordinates.h"
#include "ui/FormSkin.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::Near;

// The window as a form skin sees it: composition switched by the test.
class FakeSkinWindow final : public FormSkinWindow {
 public:
  bool CompositionEnabled() override { return composition; }
  void SetGlassFrame(const Rect& m) override { glass = m; }
  void SetRoundRegion(int w, int h, int ew, int eh) override { region = {w, h, ew, eh}; }
  bool Maximized() override { return maximized; }
  void Repaint() override { ++repaints; }

  bool composition = false, maximized = false;
  Rect glass{-1, -1, -1, -1};
  Rect region;  // width, height, ellipse width, ellipse height
  int repaints = 0;
};

class FormSkinTest : public testing::PictureTest {
 protected:
  FormSkinTest() {
    // Red 10 × 10 shadow pieces on a white form.
    const std::pair<TRdFormSkin::Picture, const wchar_t*> pieces[] = {
        {TRdFormSkin::kTopLeft, L"tl.png"},    {TRdFormSkin::kTopRight, L"tr.png"},
        {TRdFormSkin::kBottomLeft, L"bl.png"}, {TRdFormSkin::kBottomRight, L"br.png"},
        {TRdFormSkin::kTop, L"t.png"},         {TRdFormSkin::kBottom, L"b.png"},
        {TRdFormSkin::kLeft, L"l.png"},        {TRdFormSkin::kRight, L"r.png"}};
    for (const auto& [slot, name] : pieces) {
      AddSolid(name, 10, 10, 0xFFFF0000u);
      Use(skin.Pic(slot), name);
    }
    form.SetBounds(0, 0, 60, 40);
    skin.SetFormColor(0xFFFFFF);
    skin.ShadowFrame().SetMargins(10, 10, 10, 10);
    skin.ShadowFrame().SetEnabled(true);
    skin.SetOwnerForm(&form);
    skin.onShadowChanged = [this](TRdFormSkin&, bool shadow, const Rect& m) {
      told.push_back({shadow ? 1 : 0, m.left});
    };
  }

  TRdFormSkin skin{ui};
  FakeSkinWindow window;
  std::vector<std::pair<int, int>> told;  // shadow, left margin
};

TEST_F(FormSkinTest, WithoutCompositionTheFramePicturesMoveOutOfView) {
  skin.AttachWindow(&window);
  EXPECT_FALSE(skin.ShadowActive());
  EXPECT_EQ(window.glass, Rect{});
  const Bitmap flush = Paint();
  for (auto [x, y] : {std::pair{0, 0}, {59, 0}, {0, 39}, {59, 39}, {30, 0}, {0, 20}})
    EXPECT_TRUE(Near(flush.At(x, y), 255, 255, 255)) << x << "," << y;
  // A click anywhere is the form's own.
  EXPECT_FALSE(skin.PassesHitThrough({102, 120}, {100, 100, 160, 140}));

  window.composition = true;
  skin.CompositionChanged();
  EXPECT_TRUE(skin.ShadowActive());
  EXPECT_EQ(window.glass, (Rect{10, 10, 10, 10}));
  EXPECT_EQ(told.back(), (std::pair{1, 10}));
  const Bitmap shadowed = Paint();
  for (auto [x, y] : {std::pair{0, 0}, {59, 0}, {0, 39}, {59, 39}, {30, 5}, {5, 20}})
    EXPECT_TRUE(Near(shadowed.At(x, y), 255, 0, 0)) << x << "," << y;
  EXPECT_TRUE(Near(shadowed.At(30, 20), 255, 255, 255));
  // 5 pixels inside the edge is shadow and goes to the window below; 15 is the form's.
  EXPECT_TRUE(skin.PassesHitThrough({105, 120}, {100, 100, 160, 140}));
  EXPECT_FALSE(skin.PassesHitThrough({115, 120}, {100, 100, 160, 140}));
  EXPECT_FALSE(skin.PassesHitThrough({95, 120}, {100, 100, 160, 140}));
}

TEST_F(FormSkinTest, ShadowBorderLinesAndRoundCornersExcludeEachOther) {
  window.composition = true;
  skin.AttachWindow(&window);
  ASSERT_TRUE(skin.ShadowActive());
  // Round corners end the shadow and give the window its region.
  skin.EllipseSize().SetSize(8, 8);
  EXPECT_FALSE(skin.ShadowFrame().Enabled());
  EXPECT_EQ(window.region, (Rect{61, 41, 8, 8}));
  EXPECT_EQ(window.glass, Rect{});
  // The shadow back again: no corners, no lines.
  skin.BorderLines().SetEnabled(true);
  skin.ShadowFrame().SetEnabled(true);
  EXPECT_TRUE(skin.EllipseSize().Empty());
  EXPECT_FALSE(skin.BorderLines().Enabled());
  // Active lines end the shadow; lines without a side are not active and leave it.
  skin.BorderLines().left = skin.BorderLines().right = skin.BorderLines().top = skin.BorderLines().bottom = false;
  skin.BorderLines().SetEnabled(true);
  EXPECT_TRUE(skin.ShadowFrame().Enabled());
  skin.BorderLines().SetEnabled(false);
  skin.BorderLines().left = true;
  skin.BorderLines().SetEnabled(true);
  EXPECT_FALSE(skin.ShadowFrame().Enabled());
}

TEST_F(FormSkinTest, TilesAreDrawnOnlyWhereTheyShowHoweverFarTheSkinReaches) {
  // Tiles of one pixel, over an area a skin stretched a million times past the form.
  AddSolid(L"dot.png", 1, 1, 0xFF0000FFu);
  skin.SetFillStyle(TFillStyle::fsTiled);
  Use(skin.Pic(TRdFormSkin::kBackground2), L"dot.png");
  skin.PicBackground2Option().padLeft = skin.PicBackground2Option().padTop = -kMaxCoordinate;
  skin.PicBackground2Option().padRight = skin.PicBackground2Option().padBottom = -kMaxCoordinate;
  const Bitmap painted = Paint();
  for (auto [x, y] : {std::pair{0, 0}, {59, 39}, {30, 20}})
    EXPECT_TRUE(Near(painted.At(x, y), 0, 0, 255)) << x << "," << y;
}

TEST_F(FormSkinTest, AMaximisedFormGivesUpItsShadowUntilRestored) {
  window.composition = true;
  skin.AttachWindow(&window);
  form.SetVisible(true);
  window.maximized = true;
  skin.MinMaxInfo();
  EXPECT_FALSE(skin.ShadowActive());
  EXPECT_TRUE(TRdFormSkin::ShadowSuspended());
  skin.Sized();  // still maximised
  EXPECT_FALSE(skin.ShadowActive());
  window.maximized = false;
  skin.Sized();
  EXPECT_TRUE(skin.ShadowActive());
  EXPECT_FALSE(TRdFormSkin::ShadowSuspended());
  EXPECT_EQ(window.glass, (Rect{10, 10, 10, 10}));
}

}  // namespace
}  // namespace nudgelet::ui
