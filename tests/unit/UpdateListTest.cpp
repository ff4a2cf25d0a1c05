#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "detection/UpdateList.h"
#include "support/FakePlatform.h"

namespace nudgelet::detection {
namespace {

using testing::InMemoryFileSystem;

TSoftViewInfo Candidate(const std::wstring& name, bool update, const std::wstring& icon = L"") {
  TSoftViewInfo c;
  c.DisplayName = name;
  c.HasUpdate = update;
  c.Key = L"{" + name + L"}";
  c.Bit = 1;
  c.NewVersion = update ? L"2.0" : L"0";
  c.DisplayIcon = icon;
  return c;
}

TEST(IconLocation, SplitsPathAndIndex) {
  EXPECT_EQ(ParseIconLocation(L"\"C:\\App\\app.exe\",3").path, L"C:\\App\\app.exe");
  EXPECT_EQ(ParseIconLocation(L"\"C:\\App\\app.exe\",3").index, 3);
  EXPECT_EQ(ParseIconLocation(L"C:\\\\App\\\\app.exe, -101").index, -101);
  EXPECT_EQ(ParseIconLocation(L"C:\\\\App\\\\app.exe, -101").path, L"C:\\App\\app.exe");
  EXPECT_EQ(ParseIconLocation(L"C:\\a,b.exe,2").path, L"C:\\a");  // the first comma ends the path
  EXPECT_EQ(ParseIconLocation(L"C:\\a,b.exe,2").index, 2);        // the last one starts the index
  EXPECT_EQ(ParseIconLocation(L"C:\\app.exe,x").index, 0);
  EXPECT_EQ(ParseIconLocation(L"C:\\app.ico").index, 0);
}

TEST(UpdateListModel, RowsForUpdatesOnlyWithTheirOwnOrTheDefaultIcon) {
  InMemoryFileSystem files;
  files.AddFile(L"C:\\App\\app.exe", {'M', 'Z'});
  InMemoryUpdateList view;
  TUpdateListModel model;
  int shown = 0;
  model.FillList({Candidate(L"Current", false), Candidate(L"With Icon", true, L"\"C:\\App\\app.exe\",0"),
                  Candidate(L"Missing Icon", true, L"C:\\Gone\\gone.exe")},
                 true, view, files, {[&] { ++shown; }, [] { FAIL() << "must not end"; }});
  EXPECT_EQ(model.RowCount(), 2);
  ASSERT_EQ(view.items.size(), 2u);
  EXPECT_EQ(view.items[0].caption, L"With Icon");
  EXPECT_EQ(view.items[0].imageIndex, 2);  // candidate 1 has icon slot 2
  EXPECT_EQ(view.items[0].data->ImageIndex, 2);
  EXPECT_EQ(view.items[0].data->BitText, L"1");
  EXPECT_EQ(view.items[0].data->NewVersion, L"2.0");
  EXPECT_TRUE(view.items[0].data->Listed);
  EXPECT_EQ(view.items[1].imageIndex, 0);  // the default icon
  EXPECT_EQ(view.items[1].data->ImageIndex, 3);
  EXPECT_EQ(view.updateDepth, 0);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(view.showCustomVertScroll);
}

TEST(UpdateListModel, FourRowsNeedTheScrollBar) {
  InMemoryFileSystem files;
  InMemoryUpdateList view;
  TUpdateListModel model;
  std::vector<TSoftViewInfo> candidates;
  for (int i = 0; i < 3; ++i) candidates.push_back(Candidate(L"P" + std::to_wstring(i), true));
  model.FillList(candidates, true, view, files, {});
  EXPECT_FALSE(view.showCustomVertScroll);
  candidates.push_back(Candidate(L"P3", true));
  model.FillList(candidates, true, view, files, {});
  EXPECT_TRUE(view.showCustomVertScroll);
  EXPECT_EQ(view.items.size(), 4u);  // filling again starts from an empty list
}

TEST(UpdateListModel, NoCandidateListEndsAndAnEmptyOneWaitsOnce) {
  InMemoryFileSystem files;
  InMemoryUpdateList view;
  TUpdateListModel model;
  int ended = 0;
  int shown = 0;
  model.FillList({}, false, view, files, {[&] { ++shown; }, [&] { ++ended; }});
  EXPECT_EQ(ended, 1);
  model.FillList({}, true, view, files, {[&] { ++shown; }, [&] { ++ended; }});
  EXPECT_EQ(shown, 0);  // the first empty list is only noted
  model.FillList({}, true, view, files, {[&] { ++shown; }, [&] { ++ended; }});
  EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace nudgelet::detection
