#include <gtest/gtest.h>

#include "ui/ListView.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::UiTest;

class ListViewTest : public UiTest {
 protected:
  // Three icons across with room for the bar, one line high.
  ListViewTest() : list(Add<TRdListView>(0, 0, 99 * 3 + 17, 99)) {
    list.SetIconSpacing(99, 99);
    list.SetShowCustomVertScroll(true);
    list.AttachHost(&listHost);
  }
  // The list is a window of its own: its root has the mouse.
  void MoveOnList(int x, int y) { list.Root().MouseMove(0, {x, y}); }
  void Fill(int n) {
    list.BeginUpdate(n);
    for (int i = 0; i < n; ++i) list.AddItem(std::wstring(1, wchar_t(L'A' + i)), -1);
    list.EndUpdate();
  }
  TRdListView& list;
  testing::FakeHost listHost;
};

TEST_F(ListViewTest, UpdatesAreCountedAndOverflowIsNamed) {
  const int told = list.CountNotifications();
  list.BeginUpdate(5000);
  for (int i = 0; i < 10; ++i) list.AddItem(L"x");
  EXPECT_EQ(list.CountNotifications(), told);
  list.EndUpdate();
  EXPECT_EQ(list.CountNotifications(), told + 1);
  try {
    list.EndUpdate();
    FAIL();
  } catch (const EListViewError& e) {
    EXPECT_STREQ(e.what(), "LV\\\\EndUpdate\\\\: EndUpdate Overflow call! ");
  }
  int deleted = 0;
  list.onDeletion = [&](TRdListView&, TkListItem&) { ++deleted; };
  list.Clear();
  EXPECT_EQ(deleted, 10);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListViewTest, SortingKeepsGroupHeadersFirstAndMarksWithTheirItems) {
  list.BeginUpdate();
  for (const wchar_t* caption : {L"delta", L"Alpha", L"charlie", L"bravo"}) list.AddItem(caption).SetGroupId(1);
  TkListItem& header = list.AddItem(L"Group");
  header.SetGroupHeader(true);
  header.SetGroupId(1);
  list.Groups().push_back({1, 1, L"Updates"});
  list.EndUpdate();
  list.Select(2);  // "charlie"
  list.onCompare = [](TRdListView&, TkListItem& a, TkListItem& b, int, int& r) {
    r = a.Caption() < b.Caption() ? -1 : a.Caption() > b.Caption() ? 1 : 0;
  };
  list.SortItems(0);
  std::wstring order;
  for (int i = 0; i < list.Count(); ++i) order += list.Item(i)->Caption() + L" ";
  EXPECT_EQ(order, L"Group Alpha bravo charlie delta ");
  EXPECT_EQ(list.Selected(), 3);
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Item(i)->Index(), i);
  list.CheckConsistency();
}

TEST_F(ListViewTest, TypingFindsCaptionsBehindTheirMarks) {
  list.AddColumn(L"SoftName", 138, TListColumnType::ltNormalIconCaption);
  for (const wchar_t* caption : {L"@@Firefox", L"//Thunderbird", L"\x01Opera", L"Notepad++"}) list.AddItem(caption);
  EXPECT_EQ(list.FindCaption(0, L"fire", true, false), 0);
  EXPECT_EQ(list.FindCaption(0, L"thunderbird", false, false), 1);
  EXPECT_EQ(list.FindCaption(0, L"op", true, false), 2);
  EXPECT_EQ(list.FindCaption(3, L"fire", true, false), -1);
  EXPECT_EQ(list.FindCaption(3, L"fire", true, true), 0);
}

TEST_F(ListViewTest, IconViewShowsThreeAcrossAndTheBarFromTheFourth) {
  Fill(3);
  EXPECT_EQ(list.ItemsPerLine(), 3);
  EXPECT_FALSE(list.VertScrollBar().Visible());
  EXPECT_EQ(list.ItemAt({150, 50}).index, 1);
  EXPECT_EQ(list.ItemAt({305, 50}).index, -1);  // past the third column

  list.Clear();
  Fill(7);
  EXPECT_TRUE(list.VertScrollBar().Visible());
  EXPECT_EQ(list.ItemsPerLine(), 3);  // the bar leaves room for three
  EXPECT_EQ(list.LineCount(), 3);
  MoveOnList(50, 50);
  list.MouseWheel(-120, 0, 50, 50);
  EXPECT_EQ(list.TopLine(), 1);
  EXPECT_EQ(list.HotIndex(), 3);  // the row scrolled under the pointer, not the one it left
  EXPECT_EQ(list.VertScrollBar().Bar().Position(), 1);
  EXPECT_EQ(list.ItemAt({10, 10}).index, 3);
  list.VertScrollBar().Bar().SetPosition(2);
  EXPECT_EQ(list.TopLine(), 2);
  list.KeyDown(0x24, 0);  // Home
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.TopLine(), 0);

  list.SetShowCustomVertScroll(false);
  EXPECT_FALSE(list.VertScrollBar().Visible());
}

TEST_F(ListViewTest, HotTrackingRepaintsExactlyTheRowsThatChanged) {
  list.SetViewStyle(TViewStyle::vsReport);
  list.SetShowColumnHeaders(false);
  list.AddColumn(L"Name", 200);
  Fill(4);
  list.SetShowCustomVertScroll(false);
  list.SetHeight(200);
  MoveOnList(10, 26 * 2 + 5);  // row 2
  listHost.invalidated.clear();
  MoveOnList(10, 26 * 3 + 5);  // row 3
  ASSERT_EQ(listHost.invalidated.size(), 2u);
  EXPECT_EQ(listHost.invalidated[0], (Rect{0, 52, 314, 78}));
  EXPECT_EQ(listHost.invalidated[1], (Rect{0, 78, 314, 104}));
  listHost.invalidated.clear();
  list.Root().MouseLeave();
  ASSERT_EQ(listHost.invalidated.size(), 1u);
  EXPECT_EQ(listHost.invalidated[0], (Rect{0, 78, 314, 104}));
  EXPECT_EQ(list.HotIndex(), -1);
}

TEST_F(ListViewTest, CaptionCellsSplitIntoLabelAndPlainLines) {
  list.SetViewStyle(TViewStyle::vsReport);
  list.SetShowColumnHeaders(false);
  list.SetItemHeight(60);
  list.AddColumn(L"SoftName", 200, TListColumnType::ltNormalIconCaption);
  list.AllSkinItem().labelFontParent = false;
  list.AllSkinItem().LabelFont().SetStyle(skin::fsBold);
  list.AddItem(L"Firefox\r\r121.0", 7);  // an image beyond the list: no icon, no room for one
  Paint();
  ASSERT_EQ(text.drawn.size(), 2u);
  EXPECT_EQ(text.drawn[0].text, L"Firefox");
  EXPECT_EQ(text.drawn[0].font.style, unsigned(skin::fsBold));
  EXPECT_EQ(text.drawn[1].text, L"121.0");
  EXPECT_EQ(text.drawn[1].at.top - text.drawn[0].at.bottom, 8);
  EXPECT_EQ(text.drawn[0].at.left, 10);  // the text offset only
  // 13 + 8 + 13 high, centred in 60.
  EXPECT_EQ(text.drawn[0].at.top, (60 - 34) / 2);
}

}  // namespace
}  // namespace nudgelet::ui
