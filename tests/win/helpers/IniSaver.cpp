// Saves a settings file over and over, each time with every value set to the
// round number, until it is killed: the test checks that the file on disk is
// always one whole round.
#include <windows.h>

#include <string>

#include "platform/win32/SystemPlatform.h"
#include "settings/SafeIniFile.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const auto& files = nudgelet::platform::win32::SystemPlatform().files;
  for (int round = 1;; ++round) {
    nudgelet::TSafeIniFile ini(files, argv[1]);
    for (int key = 0; key < 2000; ++key) {
      ini.WriteString(L"Values", L"Key" + std::to_wstring(key),
                      std::to_wstring(round) + L" padding to make the file large");
    }
    ini.WriteInteger(L"Values", L"Last", round);
  }
}
