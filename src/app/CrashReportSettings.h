#pragma once
// What the crash report hand-off needs to know about the product, set once by
// start-up and read by the handler whenever an error ends the run.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::app {

inline constexpr wchar_t kCrashProductName[] = L"Corvane Patchwell Hub";
inline constexpr wchar_t kCrashContactAddress[] = L"bugs@corvane.com";
inline constexpr wchar_t kDefaultSenderProgram[] = L"FaultMailer.exe";

struct CrashReportSettings {
  std::wstring contactAddress;
  std::wstring productName;
  std::wstring version;
  std::wstring subject;
  std::wstring senderProgram;  // empty: FaultMailer.exe in the program folder
  std::wstring infoProgram;    // empty: none
  std::wstring language;       // empty: none
  std::wstring reportFolder;   // empty: the temporary folder
  bool noScreenshot = false;
  std::wstring programFolder;   // with trailing backslash
  std::wstring executableName;  // the running program's file name
};

struct CrashReportSetup {
  std::wstring contactAddress;
  std::wstring productName;
  std::wstring version;  // empty: the executable's file version
  std::wstring infoProgram;
  std::wstring senderProgram;
  std::wstring language;
  bool noScreenshot = false;
};

// The settings for the running executable; the subject is
// "Bugreport <product> <version> <executable file name>".
CrashReportSettings MakeCrashReportSettings(const platform::Platform& p, const CrashReportSetup& setup);

// A program path as the settings give it: empty means the default name, and a
// path without ":\" lies in the program folder.
std::wstring ResolveProgramPath(const std::wstring& value, const std::wstring& programFolder,
                                const std::wstring& defaultName = {});

// The settings of this process: empty until start-up sets them, and then the
// handler reports nothing.
const CrashReportSettings& CurrentCrashReportSettings();
void SetCrashReportSettings(CrashReportSettings settings);

}  // namespace nudgelet::app
