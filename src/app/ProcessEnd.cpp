#include "app/ProcessEnd.h"

#include <windows.h>

#include <chrono>

#include "app/ProductLocations.h"
#include "settings/LogHelper.h"
#include "settings/UserDataFolder.h"
#include "settings/win32/IniFile.h"

namespace nudgelet::app {

void EndProcessAtOnce() {
  TLogHelper::Flush(std::chrono::milliseconds(500));
  ::TerminateProcess(::GetCurrentProcess(), 0);
  // TerminateProcess on the own process does not return; should it ever, leave anyway.
  ::ExitProcess(0);
}

void StopLogForOrderlyExit(const platform::Platform& p) {
  TLogHelper::Stop([&p](std::uint32_t errorCount) {
    const std::wstring mainIni = GetMainIniPath(p);
    if (!p.files.FileExists(mainIni)) return;
    platform::win32::TIniFile ini(p.files, mainIni, platform::win32::TIniFile::AsItIs{});
    const std::int32_t sum = ini.ReadInteger(L"Log", L"ERROR", 0) + static_cast<std::int32_t>(errorCount);
    ini.WriteInteger(L"Log", L"ERROR", sum);
  });
}

}  // namespace nudgelet::app
