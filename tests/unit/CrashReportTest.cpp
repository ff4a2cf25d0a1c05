#include <gtest/gtest.h>

#include <stdexcept>

#include "app/BugReportFile.h"
#include "app/CrashError.h"
#include "app/CrashHandoff.h"
#include "app/CrashReportSettings.h"
#include "app/ErrorKinds.h"
#include "app/SenderParameters.h"
#include "base/Strings.h"
#include "support/FakePlatform.h"

namespace nudgelet::app {
namespace {

using testing::AsBytes;
using testing::FakePlatform;

const std::wstring kFolder = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\";
const std::wstring kTemp = L"C:\\Users\\tester\\AppData\\Local\\Temp\\";
const std::wstring kSeparator(75, L'=');

class EStartServiceTimeout : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

TEST(ErrorKinds, MessageMarksIgnoreCaseAndAreCheckedInOrder) {
  struct Case {
    const wchar_t* className;
    const wchar_t* message;
    ErrorKind kind;
    const wchar_t* value;
  } cases[] = {
      {L"Exception", L"engine bdsdk\\timeout after 30 s", ErrorKind::DatabaseTimeout, L"ET_BD_TIMEOUT"},
      {L"Exception", L"db LOAD timeout", ErrorKind::DatabaseTimeout, L"ET_BD_TIMEOUT"},
      // The database marks come before the class.
      {L"EStartServiceTimeout", L"BDSDK\\Loading", ErrorKind::DatabaseTimeout, L"ET_BD_TIMEOUT"},
      {L"EStartServiceTimeout", L"", ErrorKind::ServiceStartTimeout, L"ET_RunSrv_TIMEOUT"},
      {L"EStartServiceTimeoutX", L"", ErrorKind::Other, L""},
      {L"estartservicetimeout", L"", ErrorKind::Other, L""},
      {L"Exception", L"x sendbugreport_1noui", ErrorKind::BugReportNoUi, L"ET_BugReport_NoUI"},
      {L"Exception", L"SendBugReport_2AskUser", ErrorKind::BugReportAskUser, L"ET_BugReport_AskUser"},
      {L"Exception", L"SendBugReport_3AskUserAndSilent", ErrorKind::BugReportAskUserAndSilent,
       L"ET_BugReport_AskUserAndSilent"},
  };
  for (const Case& c : cases) {
    const ErrorKind kind = ClassifyError(c.className, c.message);
    EXPECT_EQ(kind, c.kind) << c.message;
    EXPECT_EQ(ExceptionSwitchValue(kind), c.value) << c.message;
  }
}

// The hand-off's own tests cover the switches every report has.
TEST(SenderParameters, OptionalSwitchesInOrderAndNoQuoteInsideAValue) {
  SenderRequest r{L"a@b",          L"S",     L"P", L"N.exe", ErrorKind::ServiceStartTimeout, L"C:\\A\\Info.exe", L"",
                  L"C:\\A\\r.txt", L"German"};
  EXPECT_EQ(BuildSenderParameters(r),
            L"/AntRun /Addr \"a@b\" /Subject \"S\" /Product \"P\" /App \"N.exe\" /Exception \"ET_RunSrv_TIMEOUT\" "
            L"/GetInfo \"C:\\A\\Info.exe\" /files \"C:\\A\\r.txt\" /Lan \"German\"");
  // A quote in a value (a version from the registry, say) cannot add switches.
  r.subject = L"Bugreport P 1\" /Addr \"evil N.exe";
  EXPECT_NE(BuildSenderParameters(r).find(L" /Subject \"Bugreport P 1' /Addr 'evil N.exe\" /Product "),
            std::wstring::npos);
}

TEST(CrashReportSettings, SubjectVersionAndProgramPaths) {
  FakePlatform f;
  CrashReportSetup setup{kCrashContactAddress, kCrashProductName, L"5.2.0.118", L"", L"", L"", false};
  CrashReportSettings s = MakeCrashReportSettings(*f, setup);
  EXPECT_EQ(s.subject, L"Bugreport Corvane Patchwell Hub 5.2.0.118 Nudgelet.exe");
  EXPECT_EQ(s.programFolder, kFolder);

  setup.version.clear();
  f.files.SetVersion(f.folders.executable, {3, 0, 12, 7});
  s = MakeCrashReportSettings(*f, setup);
  EXPECT_EQ(s.version, L"3.0.12.7");
  EXPECT_EQ(s.subject, L"Bugreport Corvane Patchwell Hub 3.0.12.7 Nudgelet.exe");

  struct Case {
    const wchar_t* value;
    const wchar_t* defaultName;
    std::wstring resolved;
  } paths[] = {
      {L"", L"FaultMailer.exe", kFolder + L"FaultMailer.exe"},
      {L"Tools\\Mailer.exe", L"", kFolder + L"Tools\\Mailer.exe"},
      {L"D:\\Mail\\Mailer.exe", L"", L"D:\\Mail\\Mailer.exe"},
      {L"D:Mailer.exe", L"", kFolder + L"D:Mailer.exe"},  // only ":\" marks a full path
  };
  for (const Case& c : paths) EXPECT_EQ(ResolveProgramPath(c.value, kFolder, c.defaultName), c.resolved) << c.value;
}

TEST(BugReportFile, NewestBlockOnTopEarlierTextKeptInAnyEncoding) {
  const std::wstring block = BugReportBlock(L"5.2", L"line 1\r\nline 2");
  EXPECT_EQ(block, L"Main_Version      : 5.2\r\nline 1\r\nline 2\r\n" + kSeparator + L"\r\n");

  FakePlatform f;
  const std::string expected = "\xEF\xBB\xBF" + WideToUtf8(block) + "earlier \xC3\xA9";
  struct Case {
    const char* what;
    std::vector<std::uint8_t> existing;
  } cases[] = {
      {"UTF-8 with BOM", AsBytes("\xEF\xBB\xBF"
                                 "earlier \xC3\xA9")},
      {"UTF-8 without BOM", AsBytes("earlier \xC3\xA9")},
      {"code page", AsBytes("earlier \xE9")},
      {"UTF-16", testing::Utf16LeWithBom(L"earlier \u00E9")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PrependToBugReport(c.existing, block, f.files), AsBytes(expected)) << c.what;
  }
  EXPECT_EQ(PrependToBugReport({}, block, f.files), AsBytes("\xEF\xBB\xBF" + WideToUtf8(block)));
}

TEST(BugReportFile, AFileThatCannotBeReadOrReplacedIsLeftAloneForTheFallback) {
  for (const bool locked : {false, true}) {
    FakePlatform f;
    f.files.AddFolder(kTemp);
    const std::wstring inProgram = kFolder + L"bugreport_new.txt";
    f.files.AddFile(inProgram, AsBytes("old"), locked ? 0x20 : platform::file_attribute::kReadOnly);
    if (locked) f.files.Lock(inProgram);
    EXPECT_EQ(WriteBugReport(f.files, kFolder, kTemp, L"1", L"r"), kTemp + L"bugreport_new.txt");
    EXPECT_EQ(f.files.Bytes(kTemp + L"bugreport_new.txt"),
              AsBytes("\xEF\xBB\xBF" + WideToUtf8(BugReportBlock(L"1", L"r"))));
    EXPECT_EQ(f.files.Bytes(inProgram), AsBytes("old"));
  }
}

// Evidence as a test sets it: a fixed text and a screenshot when there are windows.
class StagedEvidence final : public CrashEvidence {
 public:
  bool windows = true;
  int screenshots = 0;
  std::wstring ReportText() override { return L"the report"; }
  bool SaveScreenshot(const std::wstring&) override {
    ++screenshots;
    return windows;
  }
};

struct HandoffFixture {
  FakePlatform f;
  CrashReportSettings settings;
  StagedEvidence evidence;
  HandoffFixture() {
    f.system.environment[L"TEMP"] = kTemp;
    f.files.AddFolder(kTemp);
    f.files.AddFile(kFolder + L"FaultMailer.exe", {});
    settings = MakeCrashReportSettings(*f, {kCrashContactAddress, kCrashProductName, L"5.2", L"", L"", L"", false});
  }
  CrashOutcome Run(const CrashError& error) { return HandOffCrash(*f, settings, error, evidence); }
};

TEST(CrashHandoff, ReportAndScreenshotGoToTheSender) {
  RegisterCrashFilter(&IgnoreHelpSystemErrors);
  for (const bool windows : {true, false}) {
    HandoffFixture h;
    h.evidence.windows = windows;
    EXPECT_EQ(h.Run({L"runtime_error", L"SendBugReport_1NoUI"}), CrashOutcome::HandedOff);
    ASSERT_EQ(h.f.shell.requests.size(), 1u);
    const auto& start = h.f.shell.requests[0];
    EXPECT_EQ(start.operation, L"open");
    EXPECT_EQ(start.file, kFolder + L"FaultMailer.exe");
    EXPECT_EQ(start.showCommand, 1);
    const std::wstring files =
        windows ? kTemp + L"screenshots.png|" + kFolder + L"bugreport_new.txt" : kFolder + L"bugreport_new.txt";
    EXPECT_EQ(start.parameters,
              L"/AntRun /Addr \"bugs@corvane.com\" /Subject \"Bugreport Corvane Patchwell Hub 5.2 Nudgelet.exe\" "
              L"/Product \"Corvane Patchwell Hub\" /App \"Nudgelet.exe\" /Exception \"ET_BugReport_NoUI\" /files \"" +
                  files + L"\"");
    EXPECT_EQ(h.f.files.Bytes(kFolder + L"bugreport_new.txt"),
              AsBytes("\xEF\xBB\xBF" + WideToUtf8(BugReportBlock(L"5.2", L"the report"))));
  }
}

TEST(CrashHandoff, FilteredOrUndeliverableErrorsStartNothing) {
  RegisterCrashFilter(&IgnoreHelpSystemErrors);
  {
    HandoffFixture h;
    EXPECT_EQ(h.Run({L"EHelpSystemException", L"no help"}), CrashOutcome::Ignored);
    EXPECT_EQ(h.Run({L"myehelpsystemexceptionclass", L""}), CrashOutcome::Ignored);
    EXPECT_TRUE(h.f.shell.requests.empty());
  }
  {
    HandoffFixture h;
    RegisterCrashFilter([](const CrashError&, bool&, bool& terminate) { terminate = true; });
    EXPECT_EQ(h.Run({L"Exception", L"x"}), CrashOutcome::EndAtOnce);
    RegisterCrashFilter(&IgnoreHelpSystemErrors);  // one slot: this replaces it
    EXPECT_EQ(h.Run({L"EHelpSystemException", L""}), CrashOutcome::Ignored);
  }
  {
    HandoffFixture h;
    h.f.files.RemoveFile(kFolder + L"FaultMailer.exe");
    EXPECT_EQ(h.Run({L"Exception", L"x"}), CrashOutcome::NotReported);
    h.settings = {};  // start-up never set the settings
    EXPECT_EQ(h.Run({L"Exception", L"x"}), CrashOutcome::NotReported);
    EXPECT_TRUE(h.f.shell.requests.empty());
    EXPECT_EQ(h.evidence.screenshots, 0);
    EXPECT_FALSE(h.f.files.Exists(kFolder + L"bugreport_new.txt"));
  }
}

TEST(CrashError, NamesWithoutNamespacesAndSystemFaults) {
  try {
    throw EStartServiceTimeout("service did not start");
  } catch (...) {
    const CrashError e = DescribeCurrentException();
    EXPECT_EQ(e.className, L"EStartServiceTimeout");
    EXPECT_EQ(e.message, L"service did not start");
  }
  EXPECT_EQ(StripNamespaces("a::b<c::d, e::f>"), L"b<c::d, e::f>");

  const std::uint64_t readOfNull[] = {0, 0};
  const CrashError fault = DescribeSystemException(0xC0000005u, 0x140001234u, 2, readOfNull);
  EXPECT_EQ(fault.className, L"EXCEPTION_ACCESS_VIOLATION");
  EXPECT_EQ(fault.message, L"Exception 0xC0000005 at address 0x0000000140001234: read of address 0x0000000000000000");
  EXPECT_EQ(DescribeSystemException(0xE0001234u, 0, 0, nullptr).className, L"EXCEPTION_0xE0001234");
}

}  // namespace
}  // namespace nudgelet::app
