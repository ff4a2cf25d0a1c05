#include "app/CrashHandoff.h"

#include <atomic>

#include "app/BugReportFile.h"
#include "app/ErrorKinds.h"
#include "app/SenderParameters.h"
#include "base/Paths.h"
#include "base/Strings.h"

namespace nudgelet::app {
namespace {

std::atomic<CrashFilter> g_filter{nullptr};

// The folder the "temp" variable names; the system's temporary folder when it
// is unset, so that nothing lands in the root of the current drive.
std::wstring TempFolder(const platform::Platform& p) {
  std::wstring folder;
  try {
    folder = Trim(p.system.EnvironmentVariable(L"temp").value_or(L""));
    if (folder.empty()) folder = p.folders.TempPath();
  } catch (...) {
  }
  return folder.empty() ? folder : IncludeTrailingBackslash(folder);
}

}  // namespace

void RegisterCrashFilter(CrashFilter filter) { g_filter.store(filter); }

void IgnoreHelpSystemErrors(const CrashError& error, bool& handled, bool&) {
  if (ToUpper(error.className).find(L"EHELPSYSTEMEXCEPTION") != std::wstring::npos) handled = true;
}

CrashOutcome HandOffCrash(const platform::Platform& p, const CrashReportSettings& s, const CrashError& error,
                          CrashEvidence& evidence) {
  if (const CrashFilter filter = g_filter.load()) {
    bool handled = false;
    bool terminate = false;
    try {
      filter(error, handled, terminate);
    } catch (...) {
      handled = terminate = false;  // a broken filter decides nothing
    }
    if (terminate) return CrashOutcome::EndAtOnce;
    if (handled) return CrashOutcome::Ignored;
  }

  if (s.contactAddress.empty() || s.subject.empty()) return CrashOutcome::NotReported;

  std::wstring sender;
  try {
    sender = ResolveProgramPath(s.senderProgram, s.programFolder, kDefaultSenderProgram);
    if (!p.files.FileExists(sender)) return CrashOutcome::NotReported;
  } catch (...) {
    return CrashOutcome::NotReported;
  }

  const std::wstring temp = TempFolder(p);
  std::wstring screenshot;
  if (!s.noScreenshot && !temp.empty()) {
    try {
      const std::wstring path = temp + L"screenshots.png";
      if (evidence.SaveScreenshot(path)) screenshot = path;
    } catch (...) {
    }
  }

  std::wstring report;
  try {
    std::wstring text;
    try {
      text = evidence.ReportText();
    } catch (...) {
      text = L"exception class   : " + error.className + L"\r\nexception message : " + error.message;
    }
    report = WriteBugReport(p.files, s.programFolder, s.reportFolder.empty() ? temp : s.reportFolder, s.version, text);
  } catch (...) {
  }

  try {
    SenderRequest request;
    request.address = s.contactAddress;
    request.subject = s.subject;
    request.product = s.productName;
    request.application = s.executableName;
    request.kind = ClassifyError(error.className, error.message);
    request.infoProgram = ResolveProgramPath(s.infoProgram, s.programFolder);
    request.screenshotPath = screenshot;
    request.reportPath = report;
    request.language = s.language;
    platform::ShellExecuteRequest start;
    start.operation = L"open";
    start.file = sender;
    start.parameters = BuildSenderParameters(request);
    start.showCommand = 1;  // SW_SHOWNORMAL
    p.shell.Execute(start);
  } catch (...) {
  }
  return CrashOutcome::HandedOff;
}

}  // namespace nudgelet::app
