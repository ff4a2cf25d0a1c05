// The start-up spine against the real system: settings and log files on disk,
// the product's registry entry, and Nudgelet.exe itself.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"

#include <chrono>
#include <random>

#include "app/ProductLocations.h"
#include "app/win32/TaskbarButton.h"
#include "base/Paths.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/LogHelper.h"
#include "settings/SafeIniFile.h"
#include "settings/TextFile.h"
#include "settings/UserDataFolder.h"
#include "settings/win32/IniFile.h"

namespace nudgelet {
namespace {

using testing::RunToEnd;

using platform::win32::SystemPlatform;
using platform::win32::UniqueKernelHandle;

const platform::Platform& P() { return SystemPlatform(); }

std::wstring ExeFolder() { return ExtractFilePath(P().folders.ExecutablePath()); }

std::wstring TempFolder(const wchar_t* name) {
  const std::wstring folder = P().folders.TempPath() + name + std::to_wstring(::GetCurrentProcessId());
  P().files.CreateFolders(folder);
  return folder + L"\\";
}

struct Started {
  UniqueKernelHandle process;
  DWORD Wait(DWORD ms = 30000) const {
    if (::WaitForSingleObject(process.Get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    return code;
  }
};

Started Start(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  Started started;
  if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ::CloseHandle(pi.hThread);
    started.process.Reset(pi.hProcess);
  }
  return started;
}

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
      else {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

TEST(LogFiles, StartWithTheMarkAndGrowWithLineBreaks) {
  const std::wstring folder = TempFolder(L"nudgelet-log-") + L"Log";
  TLogHelper::Initialize(P().files, P().system, L"nudgelet_startup_tests.exe");
  TLogHelper::Start(folder);
  ASSERT_TRUE(TLogHelper::IsRunning());
  TLogHelper::Log(L"BC91", L"Database is miss,Error", L"NUDGELET");
  ASSERT_TRUE(TLogHelper::Flush(std::chrono::seconds(5)));
  TLogHelper::Log(L"BC92", L"second pass");
  TLogHelper::Stop();

  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((folder + L"\\*.dbg").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  ::FindClose(find);
  const auto bytes = P().files.ReadFile(folder + L"\\" + data.cFileName, 1 << 20).bytes;
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  const std::wstring text = Utf16LeToWide(bytes.data() + 2, bytes.size() - 2);
  const auto firstBreak = text.find(L"\r\n");
  ASSERT_NE(firstBreak, std::wstring::npos);
  EXPECT_NE(text.find(L"[NUDGELET]Database is miss,Error"), std::wstring::npos);
  EXPECT_NE(text.find(L"[BC92]", firstBreak), std::wstring::npos);
  EXPECT_NE(text.substr(text.size() - 2), L"\r\n");  // no separator at the end
  DeleteTree(ExcludeTrailingBackslash(ExtractFilePath(folder)));
}

TEST(SettingsFiles, KillingASaveNeverLeavesAPartialFile) {
  const std::wstring folder = TempFolder(L"nudgelet-ini-");
  const std::wstring ini = folder + L"Main.ini";
  std::mt19937 random(7);
  int checked = 0;
  for (int attempt = 0; attempt < 6; ++attempt) {
    Started saver = Start(ExeFolder() + L"nudgelet_ini_saver.exe", L"\"" + ini + L"\"");
    ASSERT_TRUE(saver.process);
    // Kill it at some moment after its first save, however slow the machine is.
    for (int i = 0; i < 200 && TSafeIniFile(P().files, ini).ReadString(L"Values", L"Last", L"").empty(); ++i)
      ::Sleep(50);
    ::Sleep(random() % 300);
    ::TerminateProcess(saver.process.Get(), 9);
    saver.Wait();

    TSafeIniFile check(P().files, ini);
    ASSERT_FALSE(check.LoadFailed());
    const std::wstring last = check.ReadString(L"Values", L"Last", L"");
    if (last.empty()) continue;  // killed before the first save
    ++checked;
    EXPECT_EQ(check.ReadSection(L"Values").size(), 2001u) << "attempt " << attempt;
    EXPECT_EQ(check.ReadString(L"Values", L"Key1999", L"").substr(0, last.size() + 1), last + L" ");
  }
  EXPECT_GT(checked, 0);
  DeleteTree(ExcludeTrailingBackslash(folder));
}

TEST(SettingsFiles, ALockedFileIsNeitherReadNorOverwritten) {
  const std::wstring folder = TempFolder(L"nudgelet-lock-");
  const std::wstring ini = folder + L"Main.ini";
  ASSERT_EQ(P().files.WriteFileAtomically(ini, EncodeUtf16LeLines({L"[A]", L"x=1"})), 0u);
  {
    UniqueKernelHandle holder(::CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    TSafeIniFile locked(P().files, ini);
    EXPECT_TRUE(locked.LoadFailed());
    EXPECT_EQ(locked.LastError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    locked.WriteString(L"A", L"x", L"2");
  }
  EXPECT_EQ(TSafeIniFile(P().files, ini).ReadString(L"A", L"x", L""), L"1");
  DeleteTree(ExcludeTrailingBackslash(folder));
}

TEST(SettingsFiles, ProfileFunctionsReadWhatTheSafeFileWrote) {
  const std::wstring folder = TempFolder(L"nudgelet-profile-");
  const std::wstring ini = folder + L"Main.ini";
  {
    TSafeIniFile safe(P().files, ini);
    safe.WriteString(L"Main", L"Language", L"Deutsch");
    safe.WriteInteger(L"Log", L"ERROR", 3);
  }
  platform::win32::TIniFile profile(P().files, ini);
  EXPECT_EQ(profile.ReadString(L"main", L"LANGUAGE", L"English"), L"Deutsch");
  EXPECT_EQ(profile.ReadInteger(L"Log", L"ERROR", 0), 3);
  profile.WriteInteger(L"Icon", L"IconLevel", 1);
  profile.UpdateFile();
  EXPECT_EQ(TSafeIniFile(P().files, ini).ReadInteger(L"Icon", L"IconLevel", 0), 1);
  EXPECT_EQ(profile.ReadSections().size(), 3u);
  DeleteTree(ExcludeTrailingBackslash(folder));
}

TEST(ProductRegistry, InstallFolderAndVersionComeFromTheThirtyTwoBitEntry) {
  const std::wstring key =
      L"\"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Patchwell Hub_is1\"";
  RunToEnd(L"reg.exe delete " + key + L" /f /reg:32");
  EXPECT_TRUE(EqualsIgnoreCase(app::GetInstallFolder(P()), L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\"));

  ASSERT_EQ(RunToEnd(L"reg.exe add " + key + L" /v InstallLocation /d C:\\App /f /reg:32"), 0u);
  ASSERT_EQ(RunToEnd(L"reg.exe add " + key + L" /v DisplayVersion /t REG_DWORD /d 42 /f /reg:32"), 0u);
  EXPECT_EQ(app::GetInstallFolder(P()), L"C:\\App\\");
  EXPECT_EQ(app::GetProductVersion(P()), L"42");  // any value type, as text
  ASSERT_EQ(RunToEnd(L"reg.exe add " + key + L" /v DisplayVersion /d 5.2.0.118 /f /reg:32"), 0u);
  EXPECT_EQ(app::GetProductVersion(P()), L"5.2.0.118");
  RunToEnd(L"reg.exe delete " + key + L" /f /reg:32");
}

class NudgeletRun : public ::testing::Test {
 protected:
  void SetUp() override {
    logFolder = GetUserDataFolder(P()) + L"Log";
    DeleteTree(logFolder);
  }

  // Runs Nudgelet.exe and answers its exit code (STILL_ACTIVE when it does not end within 20 s).
  DWORD Run(const std::wstring& arguments) {
    Started run = Start(ExeFolder() + L"Nudgelet.exe", arguments);
    EXPECT_TRUE(run.process);
    return run.Wait(20000);
  }

  std::wstring logFolder;
};

TEST_F(NudgeletRun, EndsQuietlyWithoutTheTipSwitch) {
  EXPECT_EQ(Run(L""), 0u);
  EXPECT_EQ(Run(L"/tip"), 0u);
  EXPECT_EQ(Run(L"/Tip extra"), 0u);
  EXPECT_TRUE(P().files.DirectoryExists(logFolder));  // the log ran and was stopped
}

TEST_F(NudgeletRun, ASecondInstanceEndsAtOnceAndWritesNothing) {
  {
    UniqueKernelHandle mutex(::CreateMutexW(nullptr, TRUE, L"NUDGELET"));
    ASSERT_TRUE(mutex);
    EXPECT_EQ(Run(L"/Tip"), 0u);
    EXPECT_FALSE(P().files.Exists(logFolder));
  }
  // The name taken by an object of another kind is no running reminder.
  UniqueKernelHandle squatter(::CreateEventW(nullptr, TRUE, FALSE, L"NUDGELET"));
  ASSERT_TRUE(squatter);
  EXPECT_EQ(Run(L""), 0u);
  EXPECT_TRUE(P().files.DirectoryExists(logFolder)) << "the run went on to start its log";
}

TEST_F(NudgeletRun, AReadOnlyMainIniIsReadButNeitherWrittenNorChanged) {
  const std::wstring ini = GetMainIniPath(P());
  const auto before = P().files.Exists(ini) ? P().files.ReadFile(ini, 1 << 20).bytes : std::vector<std::uint8_t>{};
  const DWORD beforeAttributes = ::GetFileAttributesW(ini.c_str());
  P().files.CreateFolders(GetUserDataFolder(P()));
  ASSERT_EQ(P().files.WriteFileAtomically(ini, EncodeUtf16LeLines({L"[Main]", L"Language=English"})), 0u);
  const std::vector<std::uint8_t> written = P().files.ReadFile(ini, 1 << 20).bytes;
  for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY}) {
    ::SetFileAttributesW(ini.c_str(), ::GetFileAttributesW(ini.c_str()) | attribute);
  }
  const DWORD attributes = ::GetFileAttributesW(ini.c_str());
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);

  // Wine run as root lets anyone write a read-only file; Windows lets nobody.
  const bool systemGuards = !UniqueKernelHandle(
      ::CreateFileW(ini.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));

  EXPECT_EQ(Run(L""), 0u);  // reads the language; stopping the log would add its error count
  EXPECT_EQ(::GetFileAttributesW(ini.c_str()), attributes);
  if (systemGuards) {
    EXPECT_EQ(P().files.ReadFile(ini, 1 << 20).bytes, written);
  }

  ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (beforeAttributes == INVALID_FILE_ATTRIBUTES) {
    ::DeleteFileW(ini.c_str());
  } else {
    P().files.WriteFileAtomically(ini, before);
    ::SetFileAttributesW(ini.c_str(), beforeAttributes);
  }
}

// The system's facts as far as the taskbar button needs them: its debugger lines.
class DebugLines final : public platform::SystemFacts {
 public:
  platform::OsVersion Version() const override { return {}; }
  bool Is64BitWindows() const override { return false; }
  platform::Size PrimaryScreenSize() const override { return {}; }
  Rect WorkArea() const override { return {}; }
  int ScreenDpi() const override { return 96; }
  bool IsCompositionEnabled() const override { return false; }
  std::wstring UserName() const override { return {}; }
  std::optional<std::wstring> EnvironmentVariable(const std::wstring&) const override { return {}; }
  DateTimeParts LocalTime() const override { return {}; }
  std::uint32_t CurrentThreadId() const override { return 0; }
  void DebugOutput(const std::wstring& text) const override { lines.push_back(text); }

  mutable std::vector<std::wstring> lines;
};

TEST(TaskbarButton, TheShellsTaskbarListIsReachedThroughItsSecondInterface) {
  ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
  HWND window = ::CreateWindowExW(0, L"STATIC", L"nudgelet", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  DebugLines system;
  app::win32::RemoveTaskbarButton(window, system);
  ASSERT_EQ(system.lines.size(), 3u) << "created, then initialised and asked to delete the tab";
  EXPECT_EQ(system.lines[0], L"0");
  EXPECT_EQ(system.lines[1], L"0");
  ::DestroyWindow(window);
  ::CoUninitialize();
}

TEST_F(NudgeletRun, ACompetingProgramInAnyLetterCaseEndsTheRun) {
  const std::wstring folder = TempFolder(L"nudgelet-competing-");
  const std::wstring standIn = folder + L"PATCHWELLHUB.EXE";
  ASSERT_TRUE(::CopyFileW((ExeFolder() + L"nudgelet_stand_in.exe").c_str(), standIn.c_str(), FALSE));
  Started competitor = Start(standIn, L"30");
  ASSERT_TRUE(competitor.process);
  EXPECT_EQ(Run(L"/Tip"), 0u);
  ::TerminateProcess(competitor.process.Get(), 0);
  competitor.Wait();
  DeleteTree(ExcludeTrailingBackslash(folder));
}

TEST_F(NudgeletRun, TheCrashTestSwitchRaisesAnErrorThatEndsTheRunQuietly) {
  // Crash capture takes it; without a sender program beside it nothing is reported.
  EXPECT_EQ(Run(L"\\TestErrorTest"), 0u);
  EXPECT_FALSE(P().files.Exists(logFolder));  // raised before the log starts
}

}  // namespace
}  // namespace nudgelet
