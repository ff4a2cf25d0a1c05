#include <gtest/gtest.h>

#include <thread>

#include "settings/LogHelper.h"
#include "settings/LogLine.h"
#include "settings/TextFile.h"
#include "support/FakePlatform.h"

namespace nudgelet {
namespace {

using testing::FakePlatform;
using testing::Utf16LeWithBom;

TEST(LogLine, FormatAndDailyFiles) {
  const DateTimeParts t{2026, 12, 4, 14, 3, 7, 123};
  EXPECT_EQ(FormatLogLine(t, L"app.exe", L"BC91", 5312, L"Database is miss,Error", L"NUDGELET"),
            L"[14:03:07:123][app.exe][BC91][5312] - [NUDGELET]Database is miss,Error");
  EXPECT_EQ(FormatLogLine(t, L"a.exe", L"X", 987654, L"m", L""), L"[14:03:07:123][a.exe][X][9876] - m");
  EXPECT_EQ(FormatLogLine(t, L"a.exe", L"X", 7, L"m", L""), L"[14:03:07:123][a.exe][X][7] - m");
  DateTimeParts broken = t;
  broken.hour = 25;
  EXPECT_EQ(FormatLogLine(broken, L"a.exe", L"X", 7, L"m", L""), L"[UnKowwn][a.exe][X][7] - m");
  // A daily file for each kind.
  EXPECT_EQ(LogFileName(L"C:\\Log\\", t, 0), L"C:\\Log\\2026-12-04.dbg");
  EXPECT_EQ(LogFileName(L"C:\\Log\\", t, 1), L"C:\\Log\\2026-12-04.err");
  EXPECT_EQ(LogFileName(L"C:\\Log\\", t, 2), L"C:\\Log\\2026-12-04.loop");
  EXPECT_EQ(LogFileName(L"C:\\Log\\", t, 9), L"C:\\Log\\2026-12-04.dbg");
}

class LogWriter : public ::testing::Test {
 protected:
  void SetUp() override { TLogHelper::Initialize(f.files, f.system, L"Nudgelet.exe"); }
  void TearDown() override { TLogHelper::Stop(); }

  FakePlatform f;
  const std::wstring folder = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\Log";
};

TEST_F(LogWriter, OneAppendPerKindAndPassWithMarkThenLineBreaks) {
  TLogHelper::Start(folder);
  ASSERT_TRUE(TLogHelper::IsRunning());
  TLogHelper::Log(L"A1", L"first", L"", false, 0);
  TLogHelper::Log(L"E1", L"broken", L"MOD", false, 1);
  TLogHelper::Log(L"U1", L"unknown", L"", false, 7);     // unknown kinds go to the dbg file,
  TLogHelper::Log(L"U2", L"negative", L"", false, -12);  // in the order they came
  TLogHelper::Log(L"A2", L"second", L"", false, 0);
  ASSERT_TRUE(TLogHelper::Flush(std::chrono::seconds(5)));
  TLogHelper::Log(L"A3", L"third", L"", false, 0);
  TLogHelper::Stop();

  EXPECT_EQ(f.files.Bytes(folder + L"\\2026-12-04.dbg"),
            Utf16LeWithBom(L"[14:03:07:123][Nudgelet.exe][A1][5312] - first\r\n"
                           L"[14:03:07:123][Nudgelet.exe][U1][5312] - unknown\r\n"
                           L"[14:03:07:123][Nudgelet.exe][U2][5312] - negative\r\n"
                           L"[14:03:07:123][Nudgelet.exe][A2][5312] - second\r\n"
                           L"[14:03:07:123][Nudgelet.exe][A3][5312] - third"));
  EXPECT_EQ(f.files.Bytes(folder + L"\\2026-12-04.err"),
            Utf16LeWithBom(L"[14:03:07:123][Nudgelet.exe][E1][5312] - [MOD]broken"));
}

TEST_F(LogWriter, LinesWithoutARunningWriterOnlyReachTheDebugger) {
  TLogHelper::Log(L"BC91", L"Database is miss,Error", L"NUDGELET", true, 0);
  ASSERT_EQ(f.system.debugOutput.size(), 1u);
  EXPECT_EQ(f.system.debugOutput[0], L"[Patchwell Hub][BC91] - Database is miss,Error");
  EXPECT_FALSE(f.files.Exists(folder));
}

TEST_F(LogWriter, WithoutAFolderTheLogGoesBesideTheProgram) {
  const std::wstring program = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\";
  TLogHelper::Initialize(f.files, f.system, L"Nudgelet.exe", program);
  TLogHelper::Start(L"");
  TLogHelper::Log(L"A1", L"here");
  TLogHelper::Stop();
  EXPECT_FALSE(f.files.Bytes(program + L"Log\\2026-12-04.dbg").empty());
}

TEST_F(LogWriter, AFolderThatCannotBeMadeTurnsLoggingOff) {
  f.files.AddFile(L"C:\\Blocked", {'x'});  // a file stands where the folder should be
  TLogHelper::Start(L"C:\\Blocked\\Log");
  EXPECT_FALSE(TLogHelper::IsRunning());
  TLogHelper::Log(L"X", L"dropped");
  EXPECT_TRUE(TLogHelper::Flush(std::chrono::milliseconds(10)));
}

TEST_F(LogWriter, FlushDrainsEveryLineFromEveryThread) {
  TLogHelper::Start(folder);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 250; ++i) TLogHelper::Log(L"T", std::to_wstring(i));
    });
  }
  for (auto& t : threads) t.join();
  ASSERT_TRUE(TLogHelper::Flush(std::chrono::seconds(5)));
  const auto bytes = f.files.Bytes(folder + L"\\2026-12-04.dbg");
  const auto lines =
      DecodeTextFileLines(bytes, [this](std::string_view b) { return f.files.DecodeSystemCodePage(b); }).lines;
  EXPECT_EQ(lines.size(), 1000u);
}

TEST_F(LogWriter, StopHandsOverTheErrorCountAndWritesTheRest) {
  TLogHelper::Start(folder);
  TLogHelper::Log(L"X", L"last words");
  std::uint32_t handed = 99;
  TLogHelper::Stop([&](std::uint32_t count) { handed = count; });
  EXPECT_EQ(handed, 0u);
  EXPECT_FALSE(TLogHelper::IsRunning());
  EXPECT_FALSE(f.files.Bytes(folder + L"\\2026-12-04.dbg").empty());
}

}  // namespace
}  // namespace nudgelet
