#pragma once
// The kinds of error the sender program treats apart. The kind travels to it
// as the "/Exception" value; ordinary errors send none.

#include <string>
#include <string_view>

namespace nudgelet::app {

enum class ErrorKind {
  Other = 0,
  DatabaseTimeout = 1,
  ServiceStartTimeout = 2,
  BugReportNoUi = 3,
  BugReportAskUser = 4,
  BugReportAskUserAndSilent = 5,
};

// Checked in the order of the kinds' numbers; the message tests ignore case,
// the class name must match exactly.
ErrorKind ClassifyError(std::wstring_view className, std::wstring_view message);

// The "/Exception" value of a kind; empty for ErrorKind::Other.
std::wstring_view ExceptionSwitchValue(ErrorKind kind);

}  // namespace nudgelet::app
