// Entry point of Nudgelet.exe.
#include <windows.h>

#include <exception>
#include <string>

#include "app/EntrySequence.h"
#include "base/Strings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return nudgelet::app::RunEntrySequence(__argc, __wargv);
  } catch (const std::exception& error) {
    // Nothing is ever shown to the user; a debugger sees what went wrong and the
    // exit code tells the caller it was not a normal end.
    ::OutputDebugStringW((L"Nudgelet: unhandled error: " + nudgelet::Utf8ToWide(error.what())).c_str());
    return 1;
  }
}
