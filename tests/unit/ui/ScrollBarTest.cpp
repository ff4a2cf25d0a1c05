#include <gtest/gtest.h>

#include <limits>

#include "base/Coordinates.h"
#include "ui/ScrollBar.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

constexpr Rect kNoRect{-1, -1, -1, -1};

class ScrollBarTest : public testing::PictureTest {
 protected:
  // A vertical bar at (10, 10) without pictures, so without arrows: the whole
  // height is the track.
  TRdScrollBarEx& Bar(int height, int max, int pageSize, int position) {
    auto& bar = Add<TRdScrollBarEx>(10, 10, 17, height);
    bar.SetMax(max);
    bar.SetPageSize(pageSize);
    bar.SetPosition(position);
    Record(bar);
    return bar;
  }

  void Record(TRdScrollBarEx& bar) {
    bar.onScroll = [this](TRdScrollBarEx&, bool start, int code, TScrollMode mode, int change) {
      events.push_back("scroll " + std::to_string(code) + (mode == TScrollMode::smAdd ? " +" : " -") +
                       std::to_string(change) + (start ? " start" : ""));
    };
    bar.onChange = [this, &bar](skin::TPersistent&) { events.push_back("change " + std::to_string(bar.Position())); };
    bar.onTrackEnd = [this](skin::TPersistent&) { events.push_back("end"); };
  }

  std::vector<std::string> Events() { return std::exchange(events, {}); }

  std::vector<std::string> events;
};

TEST_F(ScrollBarTest, TheThumbTakesItsShareOfTheTrackRoundedHalfToEven) {
  struct Case {
    int height, max, pageSize, position;
    int expectedPosition;
    Rect thumb;
    bool enabled;
  };
  const Case cases[] = {
      {200, 99, 20, 40, 40, {0, 80, 17, 120}, true},
      {200, 99, 10, 95, 90, {0, 180, 17, 200}, true},  // the last page starts at 90
      {101, 99, 50, 0, 0, {0, 0, 17, 50}, true},       // 50.5 pixels
      {103, 99, 50, 0, 0, {0, 0, 17, 52}, true},       // 51.5 pixels
      {103, 99, 20, 20, 20, {0, 20, 17, 41}, true},    // 21 long, 20.5 down
      {103, 99, 20, 60, 60, {0, 62, 17, 83}, true},    // 61.5 down
      {200, 100, 0, 50, 50, {0, 92, 17, 109}, true},   // no page: the least length, 17
      {30, 99, 20, 0, 0, {0, 0, 17, 17}, true},        // 6 pixels would be too short to take
      {15, 99, 20, 0, 0, kNoRect, true},               // no room for a thumb at all
      {200, 99, 100, 0, 0, kNoRect, false},            // everything fits
  };
  for (const Case& c : cases) {
    auto& bar = Bar(c.height, c.max, c.pageSize, c.position);
    EXPECT_EQ(bar.Position(), c.expectedPosition) << c.height << "/" << c.pageSize << "/" << c.position;
    EXPECT_EQ(bar.PartRect(spTrack), c.thumb) << c.height << "/" << c.pageSize << "/" << c.position;
    EXPECT_EQ(bar.Enabled(), c.enabled);
    if (c.thumb == kNoRect) {
      EXPECT_EQ(bar.PartRect(spLeftSpace), kNoRect);
      EXPECT_EQ(bar.PartRect(spRightSpace), (Rect{0, 0, 17, c.height}));
    } else {
      EXPECT_EQ(bar.PartRect(spLeftSpace), (Rect{0, 0, 17, c.thumb.top}));
      EXPECT_EQ(bar.PartRect(spRightSpace), (Rect{0, c.thumb.bottom, 17, c.height}));
    }
    form.RemoveControl(bar);
  }

  // A bar with nothing to scroll draws no thumb and, asked to, hides.
  auto& bar = Bar(200, 99, 100, 0);
  bar.SetAutoHide(true);
  EXPECT_FALSE(bar.Visible());
  bar.SetPageSize(10);
  EXPECT_TRUE(bar.Enabled());
  EXPECT_TRUE(bar.Visible());
  bar.SetMin(150);  // the range never turns round
  EXPECT_EQ(bar.Max(), 150);
  EXPECT_EQ(bar.Position(), 150);
  bar.SetPageSize(-3);
  EXPECT_EQ(bar.PageSize(), 10);
  bar.SetBounds(10, 10, 17, 2 * ui.metrics.screenHeight + 1);
  EXPECT_EQ(bar.Height(), 0);
}

TEST_F(ScrollBarTest, StepsAreTakenFromThePageOrTheRangeUnlessGiven) {
  // max, page size, small change, large change: the steps in force
  const std::tuple<int, int, int, int, int, int> cases[] = {{100, 0, 0, 0, 3, 10},  {20, 0, 0, 0, 1, 2},
                                                            {100, 50, 0, 0, 4, 45}, {100, 3, 0, 0, 1, 4},
                                                            {100, 50, 7, 9, 7, 9},  {100, 50, 40000, -5, 32767, 45}};
  for (const auto& [max, pageSize, small, large, expectedSmall, expectedLarge] : cases) {
    auto& bar = Bar(200, max, pageSize, 0);
    bar.SetSmallChange(small);
    bar.SetLargeChange(large);
    EXPECT_EQ(bar.SmallStep(), expectedSmall) << max << "/" << pageSize << "/" << small;
    EXPECT_EQ(bar.LargeStep(), expectedLarge) << max << "/" << pageSize << "/" << large;
    form.RemoveControl(bar);
  }
}

TEST_F(ScrollBarTest, TheWidestRangesAreHeldWithinReachAndStillScroll) {
  auto& bar = Bar(200, std::numeric_limits<int>::max(), std::numeric_limits<int>::max() - 1, 0);
  bar.SetMin(std::numeric_limits<int>::min());
  EXPECT_EQ(bar.Min(), -kMaxCoordinate);
  EXPECT_EQ(bar.Max(), kMaxCoordinate);
  EXPECT_EQ(bar.PageSize(), kMaxCoordinate);
  bar.SetPosition(std::numeric_limits<int>::max());
  EXPECT_EQ(bar.Position(), 1);  // the last page starts one past the middle
  Paint();
}

TEST_F(ScrollBarTest, ArrowsAndThicknessFollowThePictures) {
  AddSolid(L"arrow.png", 15, 12, 0xFF0000FF);
  AddSolid(L"bg.png", 9, 9, 0xFF00FF00);
  AddSolid(L"track.png", 11, 11, 0xFFFF0000);
  struct Case {
    bool vertical, allowArrow, autoArrow, autoSize, pictures;
    Rect start, end;  // empty: no arrow
    int thickness;
  };
  const Case cases[] = {
      {true, true, true, true, true, {0, 0, 15, 12}, {}, 15},
      {true, true, false, true, true, {1, 0, 16, 12}, {0, 183, 17, 200}, 17},
      {true, true, true, false, true, {7, 0, 22, 17}, {}, 30},  // the system's size, centred at the picture's
      {true, false, true, true, true, {}, {}, 11},
      {true, true, true, true, false, {}, {}, 17},
      {false, true, true, true, true, {0, 0, 15, 12}, {}, 12},
  };
  for (const Case& c : cases) {
    auto& bar = Add<TRdScrollBarEx>(10, 10, 30, 200);
    if (!c.vertical) bar.SetKind(TScrollBarKind::sbHorizontal), bar.SetBounds(10, 10, 200, 30);
    bar.SetAutoSize(c.autoSize);
    bar.SetAllowArrow(c.allowArrow);
    bar.SetAutoArrow(c.autoArrow);
    if (c.pictures) {
      Use(bar.AllSkinImage().Picture(kBtnLeft), L"arrow.png");
      Use(bar.AllSkinImage().Picture(kScrollBg), L"bg.png");
      Use(bar.AllSkinImage().Picture(kTrackCenter), L"track.png");
    }
    bar.PicturesChanged();
    auto shown = [](const Rect& r) { return r.Empty() ? Rect{} : r; };
    const auto row = ::testing::Message() << c.vertical << c.allowArrow << c.autoArrow << c.autoSize << c.pictures;
    EXPECT_EQ(c.vertical ? bar.Width() : bar.Height(), c.thickness) << row;
    EXPECT_EQ(shown(bar.PartRect(spLeftBtn)), c.start) << row;
    EXPECT_EQ(shown(bar.PartRect(spRightBtn)), c.end) << row;
    form.RemoveControl(bar);
  }
}

TEST_F(ScrollBarTest, HoldingTheSpacePagesUntilTheThumbReachesThePointer) {
  auto& bar = Bar(200, 99, 20, 80);  // thumb 40 long at 160; a page is 18
  Move(15, 60), Press(15, 60);       // 50 pixels down the bar
  EXPECT_EQ(bar.Pressed(), spLeftSpace);
  EXPECT_EQ(Events(), (std::vector<std::string>{"scroll 2 -18 start", "change 62"}));
  timers.Advance(499);
  EXPECT_TRUE(Events().empty());
  timers.Advance(1);
  EXPECT_EQ(bar.Position(), 44);
  timers.Advance(50);
  EXPECT_EQ(bar.Position(), 26);
  timers.Advance(50);
  EXPECT_EQ(bar.Position(), 8);  // the thumb now covers 16..56, the pointer with it
  EXPECT_EQ(bar.PartRect(spTrack), (Rect{0, 16, 17, 56}));
  timers.Advance(500);
  EXPECT_EQ(bar.Position(), 8);
  EXPECT_EQ(bar.Hot(), spTrack);
  Events();
  Release(15, 60);
  EXPECT_EQ(Events(), (std::vector<std::string>{"end"}));
  timers.Advance(500);
  EXPECT_EQ(bar.Position(), 8);
}

TEST_F(ScrollBarTest, DraggingPastTheEndStopsAtTheLastPage) {
  auto& bar = Bar(200, 99, 20, 0);  // thumb 0..40
  Move(15, 30), Press(15, 30);
  Move(15, 530);
  EXPECT_EQ(bar.PartRect(spTrack), (Rect{0, 160, 17, 200}));
  EXPECT_EQ(bar.Position(), 80);  // Max - PageSize + 1
  Move(15, 110);
  EXPECT_EQ(bar.PartRect(spTrack), (Rect{0, 80, 17, 120}));
  Move(15, 111);  // 80.5 × 80 ÷ 160 rounds to 40 too
  Release(15, 111);
  EXPECT_EQ(bar.PartRect(spTrack), (Rect{0, 80, 17, 120}));  // snapped back to the position
  EXPECT_EQ(Events(),
            (std::vector<std::string>{"scroll 5 +80 start", "change 80", "scroll 5 -40 start", "change 40", "end"}));
  // A press that moves nothing ends nothing; setting the position is no scroll.
  Click(15, 100);
  bar.SetPosition(10);
  EXPECT_EQ(Events(), (std::vector<std::string>{"change 10"}));
}

TEST_F(ScrollBarTest, TheWheelScrollsTwoSmallStepsThroughTheHost) {
  auto& host = form.Insert(std::make_unique<TRdScrollBar>(ui));
  host.SetBounds(100, 10, 17, 200);
  TRdScrollBarEx& bar = host.Bar();
  EXPECT_EQ(bar.BoundsRect(), (Rect{0, 0, 17, 200}));
  bar.SetMax(99);
  bar.SetPageSize(50);  // a small step of 4
  Record(bar);
  host.Root().MouseWheel(-120, 0, {5, 50});
  host.Root().MouseWheel(-120, 0, {5, 50});
  host.Root().MouseWheel(120, 0, {5, 50});
  EXPECT_EQ(Events(), (std::vector<std::string>{"scroll 36 +8", "change 8", "scroll 36 +8", "change 16", "scroll 20 -8",
                                                "change 8"}));
  bar.SetAutoHide(true);
  bar.SetPageSize(100);
  EXPECT_FALSE(host.Visible());
}

TEST(RdBitmapTest, NegativeSizesAreEmpty) {
  TRdBitmap b;
  b.SetSize(-5, 10);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 10);
  EXPECT_TRUE(b.Pixels().Empty());
  b.SetSize(4, 3);
  EXPECT_EQ(b.Pixels().Pixels().size(), 12u);
  b.SetSize(3, -1);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 0);
}

}  // namespace
}  // namespace nudgelet::ui
