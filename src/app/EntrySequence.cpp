#include "app/EntrySequence.h"

#include <windows.h>
#include <objbase.h>

#include <stdexcept>

#include "app/ProcessEnd.h"
#include "app/ProductLocations.h"
#include "app/RunDecision.h"
#include "app/win32/ApplicationWindow.h"
#include "app/win32/DpiAwareness.h"
#include "base/LogHelper.h"
#include "base/TextFile.h"
#include "platform/win32/SystemPlatform.h"

namespace nudgelet::app {
namespace {

// One reminder at a time. The mutex is never released: it lives as long as the process.
bool TakeSingleInstanceMutex() {
  const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, L"NUDGELET");
  return mutex != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

int RunMessageLoop() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int RunEntrySequence(int argc, wchar_t** argv) {
  const platform::Platform& p = platform::win32::SystemPlatform();
  const LaunchMode mode = ClassifyLaunch(argc, argv);

  // Components come up first, in a fixed order. Crash reporting registers its
  // handler before everything else once it exists.
  TLogHelper::Initialize(p.files, p.system, ExtractFileName(p.folders.ExecutablePath()));
  // The language object joins here, ahead of anything that shows text.
  ::CoInitialize(nullptr);  // shell links and the taskbar list need COM on this thread
  win32::ApplyDpiDecision(p);

  // The entry sequence proper.
  const std::wstring productVersion = GetProductVersion(p);
  // The crash reporter receives the product name and version here.
  (void)productVersion;

  if (mode == LaunchMode::CrashTest) throw std::runtime_error("TESTERRORTEST");

  if (!TakeSingleInstanceMutex()) EndProcessAtOnce();

  TLogHelper::Start(GetUserDataFolder(p) + L"Log");

  if (mode != LaunchMode::Tip || !FindCompetingProcess(p.processes).empty()) {
    StopLogForOrderlyExit(p);
    return 0;
  }

  // The statistics library is loaded and told the product's parameters here.

  const HWND applicationWindow = win32::CreateApplicationWindow(::GetModuleHandleW(nullptr));
  // The tip window is created here; its creation runs the whole detection and
  // ends the process itself when there is nothing to show. Without it there is
  // nothing to show at all.
  const bool tipWindowCreated = false;
  win32::MakeToolWindow(applicationWindow);
  if (!tipWindowCreated) {
    StopLogForOrderlyExit(p);
    return 0;
  }
  return RunMessageLoop();
}

}  // namespace nudgelet::app
