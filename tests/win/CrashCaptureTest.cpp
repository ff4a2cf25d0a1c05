// Crash capture end to end: Nudgelet.exe and a faulting probe in a program
// folder of their own, with the sender program's stand-in beside them.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/BugReportFile.h"
#include "app/CrashReportSettings.h"
#include "app/SenderParameters.h"
#include "base/Bitmap.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemPlatform.h"
#include "support/ScratchFolder.h"

namespace nudgelet {
namespace {

using platform::win32::UniqueKernelHandle;
using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

std::wstring BuildFolder() { return ExtractFilePath(platform::win32::SystemPlatform().folders.ExecutablePath()); }

// The environment of this process with "temp" (and "tmp") set to the given folder.
std::wstring EnvironmentWithTemp(const std::wstring& temp) {
  std::wstring block;
  const wchar_t* strings = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    const std::wstring text = entry;
    const std::wstring name = ToUpper(text.substr(0, text.find(L'=')));
    if (name != L"TEMP" && name != L"TMP") block += text + L'\0';
  }
  ::FreeEnvironmentStringsW(const_cast<wchar_t*>(strings));
  block += L"TEMP=" + ExcludeTrailingBackslash(temp) + L'\0';
  block += L"TMP=" + ExcludeTrailingBackslash(temp) + L'\0';
  return block + L'\0';
}

class CrashRun : public ::testing::Test {
 protected:
  ScratchFolder program{L"crash-program"};
  ScratchFolder temp{L"crash-temp"};

  void SetUp() override {
    for (const wchar_t* name : {L"Nudgelet.exe", L"nudgelet_crash_probe.exe"}) {
      ASSERT_TRUE(::CopyFileW((BuildFolder() + name).c_str(), program.File(name).c_str(), FALSE));
    }
    ASSERT_TRUE(::CopyFileW((BuildFolder() + L"nudgelet_stand_in.exe").c_str(),
                            program.File(L"FaultMailer.exe").c_str(), FALSE));
  }

  // Exit code, STILL_ACTIVE when the run did not end within 30 s.
  DWORD Run(const std::wstring& executable, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program.File(executable) + L"\" " + arguments;
    std::wstring environment = EnvironmentWithTemp(temp.Path());
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.File(executable).c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &si, &pi)) {
      return static_cast<DWORD>(-1);
    }
    UniqueKernelHandle process(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    return code;
  }

  // The sender's command line as the stand-in recorded it; empty when it never ran.
  std::wstring SenderCommandLine() {
    const std::wstring record = program.File(L"FaultMailer.exe.cmdline");
    for (int i = 0; i < 200 && ReadFileBytes(record).find("\r\0\n\0", 0) == std::string::npos; ++i) ::Sleep(50);
    const std::string bytes = ReadFileBytes(record);
    const std::wstring text = Utf16LeToWide(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return text.substr(0, text.find(L"\r\n"));
  }

  static std::wstring ReportText(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.rfind("\xEF\xBB\xBF", 0) != 0) return {};
    return Utf8ToWide(std::string_view(bytes).substr(3));
  }

  static std::wstring VersionOf(const std::wstring& report) {
    const std::wstring label = L"Main_Version      : ";
    if (report.rfind(label, 0) != 0) return {};
    return report.substr(label.size(), report.find(L"\r\n") - label.size());
  }

  std::wstring ExpectedSenderLine(const std::wstring& version, const std::wstring& executable,
                                  const std::wstring& files) {
    app::SenderRequest request;
    request.address = app::kCrashContactAddress;
    request.subject = L"Bugreport " + std::wstring(app::kCrashProductName) + L" " + version + L" " + executable;
    request.product = app::kCrashProductName;
    request.application = executable;
    request.reportPath = files;
    return app::BuildSenderParameters(request);
  }
};

TEST_F(CrashRun, TheTestErrorIsReportedOnTopOfEarlierReportsAndHandedToTheSender) {
  ASSERT_TRUE(WriteFileBytes(program.File(L"bugreport_new.txt"),
                             "\xEF\xBB\xBF"
                             "an earlier report\r\n"));
  EXPECT_EQ(Run(L"Nudgelet.exe", L"\\TestErrorTest"), 0u);

  const std::wstring report = ReportText(program.File(L"bugreport_new.txt"));
  const std::wstring version = VersionOf(report);
  ASSERT_FALSE(version.empty()) << report;
  EXPECT_NE(report.find(L"exception message : TESTERRORTEST\r\n"), std::wstring::npos);
  EXPECT_NE(report.find(L"stack where the error was caught"), std::wstring::npos);
  EXPECT_TRUE(ContainsIgnoreCase(report, L"ntdll.dll"));  // the modules
  EXPECT_NE(report.find(L"Nudgelet.exe + 0x"), std::wstring::npos);
  const std::wstring tail = L"\r\n" + std::wstring(75, L'=') + L"\r\nan earlier report\r\n";
  ASSERT_GT(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);

  // No window yet: the screenshot is of the screen the user saw.
  EXPECT_EQ(ReadFileBytes(temp.File(L"screenshots.png")).substr(1, 3), "PNG");
  EXPECT_EQ(SenderCommandLine(), ExpectedSenderLine(version, L"Nudgelet.exe",
                                                    temp.File(L"screenshots.png") + L"|" +
                                                        program.File(L"bugreport_new.txt")));
}

TEST_F(CrashRun, WithoutTheSenderTheRunEndsQuietlyAndWritesNothing) {
  ASSERT_TRUE(::DeleteFileW(program.File(L"FaultMailer.exe").c_str()));
  EXPECT_EQ(Run(L"Nudgelet.exe", L"\\TESTERRORTEST"), 0u);
  EXPECT_EQ(::GetFileAttributesW(program.File(L"bugreport_new.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(::GetFileAttributesW(temp.File(L"bugreport_new.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CrashRun, AReportFileThatCannotBeReplacedLeavesTheReportInTemp) {
  ASSERT_TRUE(WriteFileBytes(program.File(L"bugreport_new.txt"), "kept"));
  {
    // Held open without sharing, as a program folder the user may not write to refuses it.
    UniqueKernelHandle held(
        ::CreateFileW(program.File(L"bugreport_new.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Run(L"Nudgelet.exe", L"\\TESTERRORTEST"), 0u);
  }
  EXPECT_EQ(ReadFileBytes(program.File(L"bugreport_new.txt")), "kept");
  const std::wstring report = ReportText(temp.File(L"bugreport_new.txt"));
  EXPECT_NE(report.find(L"TESTERRORTEST"), std::wstring::npos);
  EXPECT_EQ(SenderCommandLine(),
            ExpectedSenderLine(VersionOf(report), L"Nudgelet.exe",
                               temp.File(L"screenshots.png") + L"|" + temp.File(L"bugreport_new.txt")));
}

TEST_F(CrashRun, AFaultIsReportedFromTheFaultingStackWithAScreenshot) {
  EXPECT_EQ(Run(L"nudgelet_crash_probe.exe", L""), 0u);
  const std::wstring report = ReportText(program.File(L"bugreport_new.txt"));
  EXPECT_NE(report.find(L"exception class   : EXCEPTION_ACCESS_VIOLATION"), std::wstring::npos) << report;
  EXPECT_NE(report.find(L"write to address 0x00007F0000000000"), std::wstring::npos);
  // The first frame is the faulting instruction in the probe itself.
  const std::size_t stack = report.find(L"stack of the faulting thread:\r\n");
  ASSERT_NE(stack, std::wstring::npos);
  const std::wstring firstFrame = report.substr(stack, report.find(L"\r\n", stack + 32) - stack);
  EXPECT_NE(firstFrame.find(L"nudgelet_crash_probe.exe + 0x"), std::wstring::npos) << firstFrame;

  const std::string png = ReadFileBytes(temp.File(L"screenshots.png"));
  const auto picture = DecodePng(std::vector<std::uint8_t>(png.begin(), png.end()));
  ASSERT_TRUE(picture.has_value());
  EXPECT_GE(picture->Width(), 100);
  EXPECT_GE(picture->Height(), 60);
  EXPECT_EQ(SenderCommandLine(),
            ExpectedSenderLine(VersionOf(report), L"nudgelet_crash_probe.exe",
                               temp.File(L"screenshots.png") + L"|" + program.File(L"bugreport_new.txt")));
}

TEST_F(CrashRun, AnErrorEscapingAThreadIsReportedThroughTerminate) {
  EXPECT_EQ(Run(L"nudgelet_crash_probe.exe", L"throw-on-thread"), 0u);
  const std::wstring report = ReportText(program.File(L"bugreport_new.txt"));
  EXPECT_NE(report.find(L"exception class   : runtime_error\r\nexception message : thrown on a thread\r\n"),
            std::wstring::npos)
      << report;
  EXPECT_FALSE(SenderCommandLine().empty());
}

}  // namespace
}  // namespace nudgelet
