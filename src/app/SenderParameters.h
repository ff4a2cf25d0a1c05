#pragma once
// The command line of the sender program that mails a bug report to the maker.

#include <string>

#include "app/ErrorKinds.h"

namespace nudgelet::app {

struct SenderRequest {
  std::wstring address;
  std::wstring subject;
  std::wstring product;
  std::wstring application;  // the executable's file name
  ErrorKind kind = ErrorKind::Other;
  std::wstring infoProgram;     // resolved path; empty: none
  std::wstring screenshotPath;  // empty: no screenshot was saved
  std::wstring reportPath;
  std::wstring language;  // empty: none
};

// "/AntRun /Addr "…" /Subject "…" /Product "…" /App "…"", then as given
// " /Exception "…"", " /GetInfo "…"", always " /files "screenshot|report"" (or
// only the report), and " /Lan "…"". Every value is quoted; a double quote
// inside a value would end it early and let the rest pass for switches of its
// own, so it becomes a single quote.
std::wstring BuildSenderParameters(const SenderRequest& request);

}  // namespace nudgelet::app
