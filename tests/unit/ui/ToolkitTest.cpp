#include <gtest/gtest.h>

#include <limits>

#include "base/Coordinates.h"
#include "ui/FormReader.h"
#include "ui/GraphicControl.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/RdTimer.h"
#include "ui/Shape.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::UiTest;

class ToolkitTest : public UiTest {
 protected:
  ToolkitTest() {
    classes.Register<TForm>(L"TForm");
    classes.Register<TPanel>(L"TPanel");
    classes.Register<TShape>(L"TShape");
    classes.Register<TImage>(L"TImage");
    classes.Register<TRdLabel>(L"TRdLabel");
    classes.Register<TRdListView>(L"TRdListView");
    classes.Register(L"TRdTimer", [](UiContext& ui) { return std::make_unique<TRdTimer>(ui.timers); });
  }

  std::unique_ptr<TControl> Read(const std::wstring& text) {
    return ReadForm(ui, L"Sample", text, classes, [this](std::wstring_view name) -> std::optional<TNotifyEvent> {
      if (name != L"Clicked" && name != L"Ticked") return std::nullopt;
      return TNotifyEvent([this, n = std::wstring(name)](skin::TPersistent&) { events.push_back(n); });
    });
  }

  std::string ReadError(const std::wstring& text) {
    try {
      Read(text);
    } catch (const FormReadError& e) {
      return e.what();
    }
    return "";
  }

  ControlClasses classes;
  std::vector<std::wstring> events;
};

TEST_F(ToolkitTest, FormTextBuildsTheControlsItNames) {
  auto root = Read(
      L"object Tip: TForm\n"
      L"  ClientWidth = 348\n  ClientHeight = 200\n  Color = clWhite\n"
      L"  Font.Height = -14\n  Font.Name = 'Segoe UI'\n"
      L"  object Border: TShape\n    Align = alClient\n    Pen.Color = text_color.cl_text_b\n"
      L"    Brush.Style = bsClear\n  end\n"
      L"  object Title: TRdLabel\n    Left = 10\n    Top = 8\n    Caption = 'Hello'#13'there'\n"
      L"    OnClick = Clicked\n  end\n"
      L"  object Tick: TRdTimer\n    Interval = 50\n    OnTimer = Ticked\n  end\n"
      L"end\n");
  auto& form = static_cast<TForm&>(*root);
  EXPECT_EQ(form.Width(), 348);
  EXPECT_EQ(form.GetColor(), 0xFFFFFFu);
  ASSERT_EQ(form.Controls().size(), 2u);
  auto& border = static_cast<TShape&>(*form.Controls()[0]);
  EXPECT_EQ(border.BoundsRect(), (Rect{0, 0, 348, 200}));
  EXPECT_EQ(store.Colors().ColorToRGB(border.Pen().color), 0x00372A1Fu);
  auto& title = static_cast<TRdLabel&>(*form.FindComponent(L"title"));
  EXPECT_EQ(title.Caption(), L"Hello\rthere");
  EXPECT_EQ(title.Font()->Name(), L"Segoe UI");  // follows the form's font
  EXPECT_EQ(title.Width(), 5 * 7);               // auto-sized on loading, 7 pixels a character at -14
  title.Click();
  auto& tick = static_cast<TRdTimer&>(*form.FindComponent(L"Tick"));
  EXPECT_TRUE(tick.Running());
  timers.Advance(100);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"Clicked", L"Ticked", L"Ticked"}));
}

TEST_F(ToolkitTest, WhatAFormCannotBuildIsNamedWithItsLine) {
  EXPECT_EQ(ReadError(L"object A: TForm\n  object B: TButton\n  end\nend"), "Sample(2): unknown class TButton");
  EXPECT_EQ(ReadError(L"object A: TForm\n  Left = 1\n  Wdth = 3\nend"), "Sample(3): unknown property Wdth of TForm");
  EXPECT_EQ(ReadError(L"object A: TForm\n  Align = alMiddle\nend"), "Sample(2): Align: Invalid Ident value: alMiddle");
  EXPECT_EQ(ReadError(L"object A: TForm\n  OnClick = Nobody\nend"), "Sample(2): no handler Nobody for OnClick");
  EXPECT_EQ(ReadError(L"object A: TForm\n  OnTimer = Ticked\nend"), "Sample(2): unknown event OnTimer of TForm");
  EXPECT_EQ(ReadError(L"object A: TForm\n  Caption = 'open\nend"), "Sample(2): string is not closed with '");
}

TEST_F(ToolkitTest, FarValuesAreRefusedAndLayoutStaysWithinReach) {
  EXPECT_EQ(ReadError(L"object A: TForm\n  Left = 2147483647\nend"),
            "Sample(2): Left: Invalid property value for Left");
  std::wstring columns;
  for (int i = 0; i <= 64; ++i) columns += L"    item\n      Width = 16777216\n    end\n";
  EXPECT_EQ(ReadError(L"object A: TForm\n  object L: TRdListView\n    ViewStyle = vsReport\n    Columns = <\n" +
                      columns + L"  >\n  end\nend"),
            "Sample(4): Columns: Invalid property value for Columns");
  // What code computes is held to the same reach.
  auto& c = Add<TRdLabel>(0, 0, 10, 10);
  c.SetAutoSize(false);
  c.SetBounds(std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -5);
  EXPECT_EQ(c.BoundsRect(), (Rect{kMaxCoordinate, -kMaxCoordinate, 2 * kMaxCoordinate, -kMaxCoordinate}));
}

TEST_F(ToolkitTest, PositionsFromTheFarEdges) {
  auto& c = Add<TRdLabel>(317, 20, 30, 10);
  c.SetAutoSize(false);
  form.SetWidth(348);
  EXPECT_EQ(c.LeftInvert(), 1);
  c.SetLeftInvert(8);
  EXPECT_EQ(c.Left(), 310);
  c.SetTopBottom(100);
  EXPECT_EQ(c.Top(), 90);
  TRdLabel orphan(ui);
  orphan.SetLeftInvert(50);
  EXPECT_EQ(orphan.LeftInvert(), 0);
  EXPECT_EQ(orphan.Left(), 0);
}

TEST_F(ToolkitTest, ATimerRunsOnlyWithAllThreeAndRetriesTwice) {
  TRdTimer timer(timers);
  int ticks = 0;
  timer.SetInterval(0);
  timer.SetOnTimer([&](skin::TPersistent&) { ++ticks; });
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(10);
  EXPECT_TRUE(timer.Running());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.SetOnTimer(nullptr);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Running());

  timers.failures = 2;
  timer.SetOnTimer([&](skin::TPersistent&) { ++ticks; });
  EXPECT_TRUE(timer.Running());
  EXPECT_EQ(timers.slept, 200u);
  timers.failures = 3;
  try {
    timer.SetInterval(20);
    FAIL() << "no error";
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Not enough quota is available to process this command:0");
  }
}

TEST_F(ToolkitTest, AClickNeedsThePressAndTheReleaseOnTheControl) {
  auto& a = Add<TRdLabel>(10, 10, 50, 20);
  auto& b = Add<TRdLabel>(100, 10, 50, 20);
  a.SetAutoSize(false), b.SetAutoSize(false);
  int clicks = 0;
  a.onClick = [&](skin::TPersistent&) { ++clicks; };
  Click(20, 20);
  EXPECT_EQ(clicks, 1);
  Move(20, 20), Press(20, 20);
  EXPECT_TRUE(host.captured);
  Move(120, 20);
  EXPECT_EQ(form.Root().Hot(), nullptr);  // the held control is hot only under the pointer
  Release(120, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(form.Root().Hot(), &b);

  // A control that goes away while hot or held leaves nothing behind.
  Move(20, 20), Press(20, 20);
  form.RemoveControl(a);
  Release(20, 20);
  EXPECT_EQ(form.Root().Captured(), nullptr);
}

TEST_F(ToolkitTest, HintsShowAfterThePointerRests) {
  auto& label = Add<TRdLabel>(10, 10, 50, 20);
  label.SetHint(L"Close");
  label.SetShowHint(true);
  Move(20, 20);
  EXPECT_EQ(host.hint, L"");
  timers.Advance(ui.metrics.hintPauseMs);
  EXPECT_EQ(host.hint, L"Close");
  Move(300, 200);
  EXPECT_EQ(host.hint, L"");
}

TEST_F(ToolkitTest, ShapesDrawTheirColoursAndInvalidationStaysInside) {
  auto& shape = Add<TShape>(0, 0, 40, 20);
  shape.Pen().color = skin::ColorIdOf(L"text_color.cl_text_b");
  shape.Brush().color = 0x00FF00;
  const Bitmap shot = Paint();
  EXPECT_EQ(shot.At(0, 0), 0xFF1F2A37u);
  EXPECT_EQ(shot.At(20, 10), 0xFF00FF00u);
  EXPECT_EQ(shot.At(45, 10), 0xFFFFFFFFu);
  host.invalidated.clear();
  shape.SetLeft(500);  // moved off the form: only the old place repaints
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(host.invalidated[0], (Rect{0, 0, 40, 20}));
}

}  // namespace
}  // namespace nudgelet::ui
