// Entry point of Nudgelet.exe.
#include <windows.h>

#include "app/EntrySequence.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return nudgelet::app::RunEntrySequence(__argc, __wargv);
}
