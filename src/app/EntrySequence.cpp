#include "app/EntrySequence.h"

#include <windows.h>

#include <string_view>

namespace nudgelet::app {

int RunEntrySequence(int argc, wchar_t** argv) {
  // One reminder at a time: the mutex lives as long as the process.
  ::CreateMutexW(nullptr, TRUE, L"NUDGELET");
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  if (argc < 2 || std::wstring_view(argv[1]) != L"/Tip") return 0;
  return 0;
}

}  // namespace nudgelet::app
