// Entry point of Nudgelet.exe.
#include <windows.h>

#include "app/EntrySequence.h"
#include "app/win32/CrashCapture.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return nudgelet::app::RunEntrySequence(__argc, __wargv);
  } catch (...) {
    // Nothing is ever shown to the user: the error goes to the maker as a bug
    // report and the process ends. An error the crash filter ignores ends the
    // run as any orderly exit does.
    nudgelet::app::win32::ReportCaughtException();
    return 0;
  }
}
