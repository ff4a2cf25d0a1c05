#include "app/RunDecision.h"

#include <exception>
#include <string_view>

#include "base/Strings.h"
#include "settings/SafeIniFile.h"

namespace nudgelet::app {

LaunchMode ClassifyLaunch(int argc, const wchar_t* const* argv) {
  if (argc < 2 || !argv || !argv[1]) return LaunchMode::Other;
  const std::wstring_view argument = argv[1];
  if (argument == L"/Tip") return LaunchMode::Tip;
  if (EqualsIgnoreCase(argument, L"\\TESTERRORTEST")) return LaunchMode::CrashTest;
  return LaunchMode::Other;
}

std::wstring FindCompetingProcess(const platform::Processes& processes) {
  static const wchar_t* const kCompeting[] = {L"Quillnote.exe", L"AltQuillnote.exe", L"Patchwellhub.exe"};
  const auto running = processes.RunningImageNames();
  for (const wchar_t* name : kCompeting) {
    for (const auto& image : running) {
      if (EqualsIgnoreCase(image, name)) return name;
    }
  }
  return {};
}

bool CoversWholeScreen(const Rect& w, platform::Size screen) {
  return w.Width() >= screen.width && w.Height() >= screen.height && w.left == 0 && w.top == 0 &&
         w.right == screen.width && w.bottom == screen.height;
}

bool IsDesktopWindowClass(const std::wstring& className) {
  return EqualsIgnoreCase(className, L"WorkerW") || EqualsIgnoreCase(className, L"Progman");
}

bool IsAutoUpdateOff(const platform::FileSystem& files, const std::wstring& mainIniPath) {
  try {
    const TSafeIniFile ini(files, mainIniPath);
    return !ini.LoadFailed() && ini.ReadString(L"Software", L"AutoUpdate", L"0") == L"0";
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nudgelet::app
