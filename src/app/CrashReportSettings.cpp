#include "app/CrashReportSettings.h"

#include "base/Paths.h"
#include "platform/AppFrame.h"

namespace nudgelet::app {
namespace {

CrashReportSettings& Stored() {
  static CrashReportSettings settings;
  return settings;
}

std::wstring FourNumbers(const platform::FileVersion& v) {
  return std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]) + L"." + std::to_wstring(v[2]) + L"." +
         std::to_wstring(v[3]);
}

}  // namespace

CrashReportSettings MakeCrashReportSettings(const platform::Platform& p, const CrashReportSetup& setup) {
  const std::wstring executable = p.folders.ExecutablePath();
  CrashReportSettings s;
  s.contactAddress = setup.contactAddress;
  s.productName = setup.productName;
  s.version = setup.version;
  if (s.version.empty()) {
    if (const auto fileVersion = p.files.FixedFileVersion(executable)) s.version = FourNumbers(*fileVersion);
  }
  s.executableName = ExtractFileName(executable);
  s.programFolder = platform::ProgramFolderOf(executable);
  s.subject = L"Bugreport " + s.productName + L" " + s.version + L" " + s.executableName;
  s.senderProgram = setup.senderProgram;
  s.infoProgram = setup.infoProgram;
  s.language = setup.language;
  s.noScreenshot = setup.noScreenshot;
  return s;
}

std::wstring ResolveProgramPath(const std::wstring& value, const std::wstring& programFolder,
                                const std::wstring& defaultName) {
  if (value.empty()) return defaultName.empty() ? std::wstring() : programFolder + defaultName;
  if (value.find(L":\\") != std::wstring::npos) return value;
  return programFolder + value;
}

const CrashReportSettings& CurrentCrashReportSettings() { return Stored(); }

void SetCrashReportSettings(CrashReportSettings settings) { Stored() = std::move(settings); }

}  // namespace nudgelet::app
