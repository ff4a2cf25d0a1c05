#include <gtest/gtest.h>

#include "app/DpiDecision.h"
#include "app/RunDecision.h"
#include "support/FakePlatform.h"

namespace nudgelet::app {
namespace {

TEST(LaunchMode, OnlyTheExactTipSwitchRuns) {
  const wchar_t* tip[] = {L"Nudgelet.exe", L"/Tip"};
  const wchar_t* lower[] = {L"Nudgelet.exe", L"/tip"};
  const wchar_t* crash[] = {L"Nudgelet.exe", L"\\testErrorTest"};
  const wchar_t* none[] = {L"Nudgelet.exe"};
  EXPECT_EQ(ClassifyLaunch(2, tip), LaunchMode::Tip);
  EXPECT_EQ(ClassifyLaunch(2, lower), LaunchMode::Other);
  EXPECT_EQ(ClassifyLaunch(2, crash), LaunchMode::CrashTest);
  EXPECT_EQ(ClassifyLaunch(1, none), LaunchMode::Other);
  EXPECT_EQ(ClassifyLaunch(0, nullptr), LaunchMode::Other);
}

TEST(CompetingProcess, FoundInAnyLetterCaseAndInListOrder) {
  testing::FakeProcesses processes;
  processes.names = {L"explorer.exe", L"Nudgelet.exe"};
  EXPECT_EQ(FindCompetingProcess(processes), L"");
  processes.names.push_back(L"PATCHWELLHUB.EXE");
  EXPECT_EQ(FindCompetingProcess(processes), L"Patchwellhub.exe");
  processes.names.push_back(L"altquillnote.exe");
  EXPECT_EQ(FindCompetingProcess(processes), L"AltQuillnote.exe");
}

TEST(FullScreen, OnlyAWindowCoveringTheScreenExactly) {
  const platform::Size screen{1024, 768};
  EXPECT_TRUE(CoversWholeScreen({0, 0, 1024, 768}, screen));
  EXPECT_FALSE(CoversWholeScreen({0, 0, 1024, 728}, screen));    // a maximised window above the taskbar
  EXPECT_FALSE(CoversWholeScreen({-8, -8, 1032, 776}, screen));  // a maximised window with borders
  EXPECT_FALSE(CoversWholeScreen({0, 0, 2048, 768}, screen));    // spans two screens
  EXPECT_TRUE(IsDesktopWindowClass(L"workerw"));
  EXPECT_TRUE(IsDesktopWindowClass(L"Progman"));
  EXPECT_FALSE(IsDesktopWindowClass(L"MozillaWindowClass"));
}

struct DpiCase {
  const char* name;
  platform::OsVersion version;
  int dpi;
  platform::Size screen;
  bool processAware;
  bool hasShcore;
  bool expectAwareCall;
  bool expectAwarenessCall;
};

TEST(DpiDecision, OnEverySystem) {
  const DpiCase cases[] = {
      {"xp never changes", {5, 1}, 120, {800, 600}, false, false, false, false},
      {"win7 96dpi 1024x768 stays unaware", {6, 1}, 96, {1024, 768}, false, false, false, false},
      {"win7 96dpi 800x600 becomes aware", {6, 1}, 96, {800, 600}, false, false, true, false},
      {"win7 96dpi 768x1024 portrait stays", {6, 1}, 96, {768, 1024}, false, false, false, false},
      {"win7 120dpi becomes aware", {6, 1}, 120, {1920, 1080}, false, false, true, false},
      {"win8 shcore only when already aware", {6, 2}, 120, {1920, 1080}, false, true, true, false},
      {"win8 aware process at 96 with unaware shcore", {6, 2}, 96, {1920, 1080}, true, true, false, false},
      {"win8.1 per-monitor", {6, 3}, 144, {2560, 1440}, false, true, false, true},
      {"win10 without shcore does nothing", {10, 0}, 144, {2560, 1440}, false, false, false, false},
      {"win10 96dpi small screen", {10, 0}, 96, {1024, 600}, false, true, false, true}};
  for (const DpiCase& c : cases) {
    DpiEnvironment env;
    env.version = c.version;
    env.hasIsProcessDpiAware = env.hasSetProcessDpiAware = true;
    env.isProcessDpiAware = c.processAware;
    env.hasGetProcessDpiAwareness = env.hasSetProcessDpiAwareness = c.hasShcore;
    env.getProcessDpiAwarenessSucceeded = c.hasShcore;
    env.processDpiAwareness = 0;
    env.logPixelsY = c.dpi;
    env.screen = c.screen;
    const DpiPlan plan = DecideDpi(env);
    EXPECT_EQ(plan.callSetProcessDpiAware, c.expectAwareCall) << c.name;
    EXPECT_EQ(plan.callSetProcessDpiAwareness, c.expectAwarenessCall) << c.name;
  }
}

TEST(LargeScreen, BothSidesCount) {
  EXPECT_TRUE(IsLargeScreen({900, 640}));
  EXPECT_FALSE(IsLargeScreen({899, 640}));
  EXPECT_FALSE(IsLargeScreen({1280, 639}));
  EXPECT_TRUE(IsLargeScreen({640, 900}));
}

}  // namespace
}  // namespace nudgelet::app
