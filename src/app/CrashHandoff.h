#pragma once
// What happens to an error that nothing else caught: the filter may silence
// it; otherwise a bug report and a screenshot are written and handed to the
// sender program, which mails them to the maker.

#include <string>

#include "app/CrashError.h"
#include "app/CrashReportSettings.h"
#include "platform/Platform.h"

namespace nudgelet::app {

// A filter decides before any report is made. handled: the error is ignored;
// terminate: the process ends at once without a report.
using CrashFilter = void (*)(const CrashError& error, bool& handled, bool& terminate);

// There is one slot: registering replaces the filter before it. nullptr empties it.
void RegisterCrashFilter(CrashFilter filter);

// The help system's errors are harmless: the program goes on.
void IgnoreHelpSystemErrors(const CrashError& error, bool& handled, bool& terminate);

// What the report gets from the crashed process. Both are asked at most once;
// neither may throw past the hand-off, which guards them anyway.
class CrashEvidence {
 public:
  virtual ~CrashEvidence() = default;
  virtual std::wstring ReportText() = 0;
  // Saves a picture of the program's windows; false when there is nothing to show.
  virtual bool SaveScreenshot(const std::wstring& path) = 0;
};

enum class CrashOutcome {
  Ignored,      // the filter handled it: the program may go on
  EndAtOnce,    // the filter asked for the process to end without a report
  NotReported,  // no contact, no subject or no sender program
  HandedOff,    // the sender was started (or at least asked for); the process ends
};

CrashOutcome HandOffCrash(const platform::Platform& p, const CrashReportSettings& settings, const CrashError& error,
                          CrashEvidence& evidence);

}  // namespace nudgelet::app
