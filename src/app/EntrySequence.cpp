#include "app/EntrySequence.h"

#include <windows.h>

#include <objbase.h>

#include <stdexcept>

#include "app/CrashHandoff.h"
#include "app/CrashReportSettings.h"
#include "app/Language.h"
#include "app/ProcessEnd.h"
#include "app/ProductLocations.h"
#include "app/RunDecision.h"
#include "app/Statistics.h"
#include "app/win32/ApplicationWindow.h"
#include "app/win32/CrashCapture.h"
#include "app/win32/DpiAwareness.h"
#include "app/win32/TipWindowHost.h"
#include "base/Paths.h"
#include "platform/AppFrame.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/LogHelper.h"
#include "settings/TextFile.h"
#include "settings/UserDataFolder.h"
#include "settings/win32/IniFile.h"

namespace nudgelet::app {
namespace {

// One reminder at a time. The mutex is never released: it lives as long as the process.
// Only a running reminder ends this one; a mutex that cannot be had for any
// other reason (the name taken by another kind of object, access denied) must
// not silence the reminder for good.
bool TakeSingleInstanceMutex() {
  ::SetLastError(ERROR_SUCCESS);
  ::CreateMutexW(nullptr, TRUE, L"NUDGELET");
  return ::GetLastError() != ERROR_ALREADY_EXISTS;
}

// The language object lives as long as the process.
void LoadLanguageObject(const platform::Platform& p, const std::wstring& programFolder) {
  static TLanguage language(p.files, L"NDG", programFolder + L"Language");
  const std::wstring mainIni = GetMainIniPath(p);
  std::wstring name = L"English";
  if (p.files.FileExists(mainIni)) {
    name = GetLanguageName(platform::win32::TIniFile(p.files, mainIni, platform::win32::TIniFile::AsItIs{}));
  }
  language.LoadLanguage(name);
  SetLanguage(&language);
  language.LoadPublicStrings();
}

}  // namespace

int RunEntrySequence(int argc, wchar_t** argv) {
  // Before everything else: whatever fails from here on is reported.
  win32::InstallCrashCapture();

  const platform::Platform& p = platform::win32::SystemPlatform();
  const LaunchMode mode = ClassifyLaunch(argc, argv);
  const std::wstring programFolder = platform::ProgramFolderOf(p.folders.ExecutablePath());

  // Components come up first, in a fixed order.
  TLogHelper::Initialize(p.files, p.system, ExtractFileName(p.folders.ExecutablePath()), programFolder);
  LoadLanguageObject(p, programFolder);
  ::CoInitialize(nullptr);  // shell links and the taskbar list need COM on this thread
  win32::ApplyDpiDecision(p);

  // The entry sequence proper.
  const std::wstring productVersion = GetProductVersion(p);
  CrashReportSetup crashSetup;
  crashSetup.contactAddress = kCrashContactAddress;
  crashSetup.productName = kCrashProductName;
  crashSetup.version = productVersion;
  SetCrashReportSettings(MakeCrashReportSettings(p, crashSetup));
  RegisterCrashFilter(&IgnoreHelpSystemErrors);

  if (mode == LaunchMode::CrashTest) throw std::runtime_error("TESTERRORTEST");

  if (!TakeSingleInstanceMutex()) EndProcessAtOnce();

  TLogHelper::Start(GetUserDataFolder(p) + L"Log");

  if (mode != LaunchMode::Tip || !FindCompetingProcess(p.processes).empty()) {
    StopLogForOrderlyExit(p);
    return 0;
  }

  Statistics().LoadStatistics(p.libraries, programFolder, L"UsageCounter.dll");
  Statistics().SetStatParam(kStatProduct, productVersion, kStatCompany, kStatUrl);

  const HWND applicationWindow = win32::CreateApplicationWindow(::GetModuleHandleW(nullptr));
  win32::MakeToolWindow(applicationWindow);
  // The tip window's creation runs the whole detection and ends the process
  // itself, as does its close; it comes back only when it could not be made.
  win32::RunTipWindow(p, applicationWindow, programFolder);
  StopLogForOrderlyExit(p);
  return 0;
}

}  // namespace nudgelet::app
