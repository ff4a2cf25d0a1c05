#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/ShowTimes.h"
#include "app/UpdateListFrame.h"
#include "base/Strings.h"
#include "ui/StandardClasses.h"
#include "ui/UiFixture.h"

namespace nudgelet::app {
namespace {

using detection::TSoftViewInfo;
using detection::TViewdata;

constexpr TDateTime kToday = 46000.25;  // a Wednesday morning
const std::wstring kTips = L"C:\\Users\\me\\AppData\\Roaming\\Corvane\\SoftTip.ini";

std::wstring FormText() {
  std::ifstream in(NUDGELET_SOURCE_DIR "/resources/forms/Frame_SoftUpdata.form", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return Utf8ToWide(text.str());
}

std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>((c >> 8) & 0xFF);
  return bytes;
}

TViewdata Row(const wchar_t* key, const wchar_t* bit = L"0") {
  TViewdata row;
  row.Key = key;
  row.BitText = bit;
  row.Listed = true;
  return row;
}

TEST(ShowTimes, TheTipShowsWhenNothingWasShownTodayAndSomethingAWeekAgo) {
  struct Case {
    const char* what;
    std::wstring file;  // SoftTip.ini's text
    bool shows;
  };
  const Case cases[] = {
      {"never shown", L"", true},
      {"one shown today, one never", L"[A]\r\nShowTime32=46000\r\n", false},
      {"all shown 6 days ago", L"[A]\r\nShowTime32=45994\r\n[B]\r\nShowTime64=45994\r\n", false},
      {"all shown 7 days ago", L"[A]\r\nShowTime32=45993\r\n[B]\r\nShowTime64=45993\r\n", true},
      {"the 64-bit entry is another key", L"[B]\r\nShowTime32=46000\r\n[A]\r\nShowTime32=45993\r\n", true},
      {"a product no longer listed does not block", L"[Gone]\r\nShowTime32=46000\r\n[A]\r\nShowTime32=40000\r\n", true},
      {"text that is no day counts as never", L"[A]\r\nShowTime32=soon\r\n[B]\r\nShowTime64=45999\r\n", true},
  };
  const TViewdata a = Row(L"A"), b = Row(L"B", L"1");
  for (const Case& c : cases) {
    nudgelet::testing::InMemoryFileSystem files;
    if (!c.file.empty()) files.AddFile(kTips, testing::AsBytes(Utf16File(c.file)));
    EXPECT_EQ(ShouldShowTip({&a, &b}, files, kTips, kToday), c.shows) << c.what;
  }
}

TEST(ShowTimes, RecordingWritesExactlyTheListedProductsOrLeavesTheOldFileWhole) {
  nudgelet::testing::InMemoryFileSystem files;
  files.AddFile(kTips, testing::AsBytes(Utf16File(L"[Gone]\r\nShowTime32=45000\r\n")));
  const TViewdata a = Row(L"A"), b = Row(L"B", L"1");
  TViewdata hidden = Row(L"C");
  hidden.Listed = false;
  EXPECT_EQ(RecordShowTimes({&a, &b, &hidden}, files, kTips, kToday), 0u);
  EXPECT_EQ(files.Bytes(kTips),
            testing::AsBytes(Utf16File(L"[A]\r\nShowTime32=46000\r\n\r\n[B]\r\nShowTime64=46000\r\n\r\n")));
  EXPECT_FALSE(ShouldShowTip({&a}, files, kTips, kToday + 3));
  EXPECT_TRUE(ShouldShowTip({&a}, files, kTips, kToday + 7));

  const auto before = files.Bytes(kTips);
  files.Lock(kTips);  // the replacement cannot happen
  EXPECT_NE(RecordShowTimes({&b}, files, kTips, kToday + 9), 0u);
  EXPECT_EQ(files.Bytes(kTips), before);
}

class FrameTest : public ui::testing::UiTest {
 protected:
  FrameTest() {
    TFrame_SoftUpdata::Hooks hooks;
    hooks.endProcess = [this] { ++ended; };
    hooks.updateShortcutIcon = [this](int count) { shortcutCount = count; };
    hooks.now = [] { return kToday; };
    hooks.files = &tipFiles;
    hooks.showTimesPath = kTips;
    frame = &form.Insert(std::make_unique<TFrame_SoftUpdata>(ui, hooks));
    frame->LoadForm(FormText(), ui::StandardControlClasses());
    frame->onShowTip = [this](TFrame_SoftUpdata&) { ++shown; };
    frame->List().AttachHost(&listHost);
  }

  void FillWith(const std::vector<const wchar_t*>& names) {
    std::vector<TSoftViewInfo> candidates;
    std::vector<Bitmap> icons{Bitmap(32, 32, 0xFF808080u)};
    for (const wchar_t* name : names) {
      TSoftViewInfo c;
      c.DisplayName = name;
      c.Key = std::wstring(L"{") + name + L"}";
      c.HasUpdate = true;
      c.NewVersion = L"2.0";
      candidates.push_back(c);
      icons.push_back(Bitmap(32, 32, 0xFF0000FFu));
    }
    frame->FillRows(candidates, true, icons, tipFiles);
  }

  std::wstring Order() {
    std::wstring order;
    for (int i = 0; i < frame->List().Count(); ++i) order += frame->List().Item(i)->Caption() + L" ";
    return order;
  }

  nudgelet::testing::InMemoryFileSystem tipFiles;
  TFrame_SoftUpdata* frame = nullptr;
  ui::testing::FakeHost listHost;
  int ended = 0, shown = 0, shortcutCount = -1;
};

TEST_F(FrameTest, FillingSortsAToZSetsTheShortcutAndShows) {
  FillWith({L"vlc", L"Firefox", L"7-Zip", L"audacity"});
  EXPECT_EQ(Order(), L"7-Zip audacity Firefox vlc ");
  EXPECT_EQ(shortcutCount, 4);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(frame->List().ShowCustomVertScroll());
  EXPECT_EQ(frame->List().IconSpacingX(), 99);
  EXPECT_EQ(frame->List().SortState(), ui::TSortState::ssDesc);
  EXPECT_EQ(frame->HintText(*frame->List().Item(2)), L"Name: Firefox\rAvailable: 2.0");

  // A click on the first column turns the order round, and back.
  frame->List().SetViewStyle(ui::TViewStyle::vsReport);
  frame->List().Root().MouseDown(ui::MouseButton::Left, 0, {20, 10}, false);
  EXPECT_EQ(Order(), L"vlc Firefox audacity 7-Zip ");
  frame->List().Root().MouseDown(ui::MouseButton::Left, 0, {20, 10}, false);
  EXPECT_EQ(Order(), L"7-Zip audacity Firefox vlc ");
}

TEST_F(FrameTest, NothingShowsWhenAProductWasShownTodayOrNothingIsListed) {
  tipFiles.AddFile(kTips, testing::AsBytes(Utf16File(L"[{Firefox}]\r\nShowTime32=46000\r\n")));
  FillWith({L"Firefox", L"vlc"});
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(ended, 1);

  ended = 0;
  FillWith({});
  EXPECT_EQ(shown, 0);
  EXPECT_GE(ended, 1);
  EXPECT_EQ(shortcutCount, 0);
}

TEST_F(FrameTest, TheListTakesNoKeysAndThreeRowsNeedNoBar) {
  FillWith({L"a", L"b", L"c"});
  EXPECT_FALSE(frame->List().ShowCustomVertScroll());
  frame->List().Select(1);
  EXPECT_TRUE(frame->List().Root().KeyDown(0x28, 0));  // swallowed
  EXPECT_EQ(frame->List().Selected(), 1);
}

}  // namespace
}  // namespace nudgelet::app
