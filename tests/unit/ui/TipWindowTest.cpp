#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/ShowTimes.h"
#include "app/TipWindow.h"
#include "app/UpdateListFrame.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "ui/StandardClasses.h"
#include "ui/UiFixture.h"

namespace nudgelet::app {
namespace {

struct Ended {};  // the process ends: nothing after it runs

std::wstring Form(const char* name) {
  std::ifstream in(std::string(NUDGELET_SOURCE_DIR "/resources/forms/") + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return Utf8ToWide(text.str());
}

// --- The update list frame ---

using detection::TSoftViewInfo;
using detection::TViewdata;

constexpr TDateTime kToday = 46000.25;  // a Wednesday morning
const std::wstring kTips = L"C:\\Users\\me\\AppData\\Roaming\\Corvane\\SoftTip.ini";

std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>((c >> 8) & 0xFF);
  return bytes;
}

// What detection hands the frame: each program with an update to 2.0, keyed by its name in braces.
void FillFrame(TFrame_SoftUpdata& frame, const std::vector<std::wstring>& names, const platform::FileSystem& files) {
  std::vector<TSoftViewInfo> candidates;
  std::vector<Bitmap> icons{Bitmap(32, 32, 0xFF808080u)};
  for (const auto& name : names) {
    TSoftViewInfo& c = candidates.emplace_back();
    c.DisplayName = name;
    c.Key = L"{" + name + L"}";
    c.HasUpdate = true;
    c.NewVersion = L"2.0";
    icons.push_back(Bitmap(32, 32, 0xFF0000FFu));
  }
  frame.FillRows(candidates, true, icons, files);
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
    frame->LoadForm(Form("Frame_SoftUpdata.form"), ui::StandardControlClasses());
    frame->onShowTip = [this](TFrame_SoftUpdata&) { ++shown; };
    frame->List().AttachHost(&listHost);
  }

  void FillWith(const std::vector<std::wstring>& names) { FillFrame(*frame, names, tipFiles); }

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

// --- The tip window ---

class TipWindowTest : public ui::testing::UiTest {
 public:
  // What the window did, in order.
  std::vector<std::wstring> calls;
  int programs = 3;
  bool composition = false, probe = true, exists = true, autoUpdateOff = true, fullScreen = false;
  std::function<std::wstring(const std::wstring&, const std::wstring&)> language;
  nudgelet::testing::InMemoryFileSystem tipFiles;
  std::unique_ptr<TForm_SoftupdateCombox> window;

  TForm_SoftupdateCombox& Make() {
    TForm_SoftupdateCombox::Services s;
    s.endProcess = [this] {
      calls.push_back(L"end");
      throw Ended{};
    };
    s.programFolder = L"C:\\App\\";
    s.installFolder = L"C:\\Hub\\";
    s.fileExists = [this](const std::wstring&) { return exists; };
    s.probeDatabase = [this](const std::wstring& path) {
      calls.push_back(L"probe " + path);
      return probe;
    };
    s.log = [this](const std::wstring& code, const std::wstring& message) { calls.push_back(code + L" " + message); };
    s.runDetection = [this](TFrame_SoftUpdata& frame) {
      calls.push_back(L"detect");
      std::vector<std::wstring> names;  // Z to A, as matching might find them
      for (int i = 0; i < programs; ++i) names.push_back(std::wstring(1, static_cast<wchar_t>(L'Z' - i)) + L" Tool");
      FillFrame(frame, names, tipFiles);
    };
    s.releaseDetection = [this] { calls.push_back(L"release"); };
    s.compositionEnabled = [this] { return composition; };
    s.workArea = [] { return Rect{0, 0, 1280, 800}; };
    s.isAutoUpdateOff = [this] { return autoUpdateOff; };
    s.isForegroundFullScreen = [this] { return fullScreen; };
    s.statistic = [this](const std::wstring& event, int n) { calls.push_back(event + L" " + std::to_wstring(n)); };
    s.shellOpen = [this](const std::wstring& file, const std::wstring& p) {
      calls.push_back(L"open " + file + L" " + p);
    };
    s.removeTaskbarButton = [this] { calls.push_back(L"taskbar"); };
    if (language) {
      s.getText = language;
      s.loadLanguageSection = [this](const std::wstring& section) { calls.push_back(L"section " + section); };
    }
    s.frameHooks.endProcess = s.endProcess;
    s.frameHooks.now = [] { return 46000.5; };
    s.frameHooks.files = &tipFiles;
    s.frameHooks.showTimesPath = L"C:\\Data\\SoftTip.ini";
    s.frameForm = Form("Frame_SoftUpdata.form");
    window = std::make_unique<TForm_SoftupdateCombox>(ui, std::move(s));
    window->LoadForm(Form("Form_SoftupdateCombox.form"), classes);
    return *window;
  }

  // Runs the creation; true when the window lived through it.
  bool Create() {
    tipFiles.RemoveFile(L"C:\\Data\\SoftTip.ini");  // every run as the first of the day
    try {
      Make().Create();
      return true;
    } catch (const Ended&) {
      return false;
    }
  }

  const ui::ControlClasses classes = ui::StandardControlClasses();
};

TEST_F(TipWindowTest, TheWindowSitsInTheCornerFlushOrWithItsShadowOutside) {
  struct Case {
    bool composition;
    Rect bounds, panel, border;
  };
  const Case cases[] = {
      {false, {930, 346, 1280, 800}, {1, 1, 349, 453}, {0, 0, 350, 454}},
      {true, {921, 337, 1291, 811}, {11, 11, 359, 463}, {10, 10, 360, 464}},
  };
  for (const Case& c : cases) {
    composition = c.composition;
    ASSERT_TRUE(Create());
    TForm_SoftupdateCombox& w = *window;
    EXPECT_EQ(w.BoundsRect(), c.bounds) << c.composition;
    EXPECT_EQ(w.ContentPanel().BoundsRect(), c.panel) << c.composition;
    EXPECT_EQ(dynamic_cast<ui::TControl*>(w.FindComponent(L"Shp_back"))->BoundsRect(), c.border);
    EXPECT_EQ(w.FormSkin().ShadowActive(), c.composition);
    EXPECT_EQ(w.FormSkin().ActiveMargins(), (c.composition ? Rect{10, 10, 10, 10} : Rect{}));
    // Centred in the panel, the button 40 above its bottom.
    const ui::TControl& button = w.UpdateButton();
    EXPECT_EQ(button.Left(), (348 - button.Width()) / 2);
    EXPECT_EQ(button.Top(), 452 - button.Height() - 40);
    EXPECT_EQ(w.MessageLabel().Left(), (348 - 240) / 2);
    EXPECT_EQ(w.MessageLabel().Top(), 210);
    // The frame fills its panel within a one-pixel border; the list sits 22 down.
    EXPECT_EQ(w.Frame()->BoundsRect(), (Rect{1, 1, 317, 109}));
    EXPECT_EQ(w.Frame()->List().Top(), 22);
    EXPECT_EQ(w.Frame()->List().Height(), 108 - 42);
  }
}

TEST_F(TipWindowTest, EachCheckEndsTheRunAtItsPlace) {
  struct Case {
    const char* what;
    std::function<void(TipWindowTest&)> arrange;
    std::vector<std::wstring> calls;
  };
  const std::wstring probed = L"probe C:\\App\\Database\\VessaUpdate.dbd";
  const Case cases[] = {
      {"SQLite cannot open the database", [](TipWindowTest& t) { t.probe = false; }, {probed, L"end"}},
      {"the database is missing",
       [](TipWindowTest& t) { t.exists = false; },
       {probed, L"BC91 Database is miss,Error", L"end"}},
      {"nothing to update", [](TipWindowTest& t) { t.programs = 0; }, {probed, L"detect", L"end"}},
      {"the product updates by itself", [](TipWindowTest& t) { t.autoUpdateOff = false; }, {probed, L"detect", L"end"}},
      {"a full-screen program is in front", [](TipWindowTest& t) { t.fullScreen = true; }, {probed, L"detect", L"end"}},
      {"everything passes", [](TipWindowTest&) {}, {probed, L"detect", L"b501 7", L"a501 0", L"taskbar"}},
  };
  for (const Case& c : cases) {
    calls.clear();
    probe = exists = autoUpdateOff = true;
    fullScreen = false;
    programs = 3;
    c.arrange(*this);
    const bool lived = Create();
    EXPECT_EQ(calls, c.calls) << c.what;
    EXPECT_EQ(lived, c.calls.back() != L"end") << c.what;
  }
  // The shown tip has recorded today for the listed programs.
  EXPECT_NE(WideToUtf8(DecodeText(tipFiles.Bytes(L"C:\\Data\\SoftTip.ini")).text).find("[{X Tool}]"),
            std::string::npos);
}

TEST_F(TipWindowTest, TheCountMessageNamesTheNumberInItsLink) {
  struct Case {
    int programs;
    bool translated;
    std::wstring caption;
  };
  const Case cases[] = {
      {1, false, L"<a>1</a> program needs to be updated."},
      {12, false, L"<a>12</a> programs need to be updated."},
      {12, true, L"<a>12</a> Programme brauchen ein Update."},
  };
  for (const Case& c : cases) {
    programs = c.programs;
    language = nullptr;
    if (c.translated) {
      language = [](const std::wstring& key, const std::wstring& english) {
        if (key == L"NeedUpdates") return std::wstring(L"<a>%d</a> Programme brauchen ein Update.");
        if (key == L"Btn_Update") return std::wstring(L"Jetzt aktualisieren");
        return english;
      };
    }
    ASSERT_TRUE(Create());
    EXPECT_EQ(window->MessageLabel().Caption(), c.caption);
    EXPECT_EQ(window->UpdateButton().Caption(), c.translated ? L"Jetzt aktualisieren" : L"Update Now");
    // A to Z, whatever order matching found them in.
    EXPECT_EQ(window->Frame()->List().Item(0)->Caption(), c.programs == 12 ? L"O Tool" : L"Z Tool");
  }
}

TEST_F(TipWindowTest, UpdateNowCountsThenStartsTheProductWithItsSwitchAndEnds) {
  ASSERT_TRUE(Create());
  calls.clear();
  EXPECT_THROW(window->Rdbtn_ActiveClick(), Ended);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"b502 7", L"a502 0", L"open C:\\Hub\\PatchwellHub.exe /SUpdateTip",
                                              L"release", L"end"}));
  // The close button goes the same way out, without starting anything.
  ASSERT_TRUE(Create());
  calls.clear();
  EXPECT_THROW(window->CloseButton().onClick(window->CloseButton()), Ended);
  EXPECT_EQ(calls, (std::vector<std::wstring>{L"release", L"end"}));
}

}  // namespace
}  // namespace nudgelet::app
