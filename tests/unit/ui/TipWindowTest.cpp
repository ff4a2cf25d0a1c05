#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/TipWindow.h"
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
      std::vector<detection::TSoftViewInfo> candidates;
      std::vector<Bitmap> icons{Bitmap(32, 32)};
      for (int i = 0; i < programs; ++i) {
        detection::TSoftViewInfo c;
        c.DisplayName = std::wstring(1, static_cast<wchar_t>(L'Z' - i)) + L" Tool";
        c.Key = L"{" + c.DisplayName + L"}";
        c.HasUpdate = true;
        candidates.push_back(c);
        icons.emplace_back(32, 32);
      }
      frame.FillRows(candidates, true, icons, tipFiles);
    };
    s.releaseDetection = [this] { calls.push_back(L"release"); };
    s.compositionEnabled = [this] { return composition; };
    s.workArea = [] { return Rect{0, 0, 1280, 800}; };
    s.isAutoUpdateOff = [this] { return autoUpdateOff; };
    s.isForegroundFullScreen = [this] { return fullScreen; };
    s.statistic = [this](const std::wstring& event, int n) { calls.push_back(event + L" " + std::to_wstring(n)); };
    s.shellOpen = [this](const std::wstring& file, const std::wstring& p) { calls.push_back(L"open " + file + L" " + p); };
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
      {"the database is missing", [](TipWindowTest& t) { t.exists = false; },
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
  EXPECT_NE(WideToUtf8(DecodeText(tipFiles.Bytes(L"C:\\Data\\SoftTip.ini")).text).find("[{X Tool}]"), std::string::npos);
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
