#include "app/ErrorKinds.h"

#include "base/Strings.h"

namespace nudgelet::app {
namespace {

constexpr std::wstring_view kDatabaseTimeoutMarks[] = {
    L"BDSDK\\TimeOut", L"TWCAV\\DB_Initialize", L"TWCAV\\DB_CreateScan", L"BDSDK\\Loading", L"DB load TimeOut",
};

}  // namespace

ErrorKind ClassifyError(std::wstring_view className, std::wstring_view message) {
  for (const std::wstring_view mark : kDatabaseTimeoutMarks) {
    if (ContainsIgnoreCase(message, mark)) return ErrorKind::DatabaseTimeout;
  }
  if (className == L"EStartServiceTimeout") return ErrorKind::ServiceStartTimeout;
  if (ContainsIgnoreCase(message, L"SendBugReport_1NoUI")) return ErrorKind::BugReportNoUi;
  if (ContainsIgnoreCase(message, L"SendBugReport_2AskUser")) return ErrorKind::BugReportAskUser;
  if (ContainsIgnoreCase(message, L"SendBugReport_3AskUserAndSilent")) return ErrorKind::BugReportAskUserAndSilent;
  return ErrorKind::Other;
}

std::wstring_view ExceptionSwitchValue(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::DatabaseTimeout:
      return L"ET_BD_TIMEOUT";
    case ErrorKind::ServiceStartTimeout:
      return L"ET_RunSrv_TIMEOUT";
    case ErrorKind::BugReportNoUi:
      return L"ET_BugReport_NoUI";
    case ErrorKind::BugReportAskUser:
      return L"ET_BugReport_AskUser";
    case ErrorKind::BugReportAskUserAndSilent:
      return L"ET_BugReport_AskUserAndSilent";
    case ErrorKind::Other:
      break;
  }
  return {};
}

}  // namespace nudgelet::app
