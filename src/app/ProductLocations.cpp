#include "app/ProductLocations.h"

#include <cwchar>

#include "base/Strings.h"
#include "base/TextFile.h"
#include "platform/ProcessModel.h"

namespace nudgelet::app {

using namespace platform;

namespace {

struct Fallback {
  int csidl;
  const wchar_t* variable;
  const wchar_t* variableUnderWow64;
  const wchar_t* suffixBeforeVista;  // "%u" stands for the user name
  const wchar_t* suffixFromVista;
  const wchar_t* suffixBeforeVistaWow64;
  const wchar_t* suffixFromVistaWow64;
};

constexpr Fallback kFallbacks[] = {
    {csidl::kAppData, L"APPDATA", L"APPDATA", L"\\Documents and Settings\\%u\\Application Data",
     L"\\Users\\%u\\AppData\\Roaming", nullptr, nullptr},
    {csidl::kLocalAppData, L"LOCALAPPDATA", L"LOCALAPPDATA",
     L"\\Documents and Settings\\%u\\Local Settings\\Application Data", L"\\Users\\%u\\AppData\\Local", nullptr,
     nullptr},
    {csidl::kCommonAppData, L"ProgramData", L"ProgramData", L"\\Documents and Settings\\All Users\\Application Data",
     L"\\ProgramData", nullptr, nullptr},
    {csidl::kProgramFiles, L"ProgramFiles", L"ProgramFiles(x86)", L"\\Program Files", L"\\Program Files",
     L"\\Program Files (x86)", L"\\Program Files (x86)"},
    {csidl::kProfile, L"USERPROFILE", L"USERPROFILE", L"\\Documents and Settings\\%u", L"\\Users\\%u", nullptr,
     nullptr},
    {csidl::kProgramFilesCommon, L"CommonProgramFiles", L"CommonProgramFiles(x86)",
     L"\\Program Files\\Common Files", L"\\Program Files\\Common Files", L"\\Program Files (x86)\\Common Files",
     L"\\Program Files (x86)\\Common Files"},
};

std::wstring ReplaceUser(const wchar_t* pattern, const std::wstring& user) {
  std::wstring out = pattern;
  const auto pos = out.find(L"%u");
  if (pos != std::wstring::npos) out.replace(pos, 2, user);
  return out;
}

std::wstring ReadUninstallValue(const Platform& p, RegistryView view, const wchar_t* name) {
  auto key = p.registry.OpenReadOnly(RegistryRoot::LocalMachine, kProductUninstallKey, view);
  if (!key) return {};
  return key->ReadText(name).value_or(L"");
}

}  // namespace

std::wstring GetSpecialFolder(const Platform& p, int csidlValue) {
  const bool wow64 = RunsUnderWow64(p.system);
  std::wstring folder = p.folders.ShellFolder(ShellFolderCsidl(csidlValue, wow64));
  if (folder.size() >= 3) return folder;
  for (const Fallback& f : kFallbacks) {
    if (f.csidl != csidlValue) continue;
    folder = Trim(p.system.EnvironmentVariable(wow64 ? f.variableUnderWow64 : f.variable).value_or(L""));
    if (!folder.empty()) return folder;
    const bool vista = p.system.Version().major >= 6;
    const wchar_t* suffix = vista ? f.suffixFromVista : f.suffixBeforeVista;
    if (wow64 && f.suffixFromVistaWow64) suffix = vista ? f.suffixFromVistaWow64 : f.suffixBeforeVistaWow64;
    // The drive kernel32.dll was loaded from is the system folder's drive.
    return p.folders.SystemDirectory().substr(0, 2) + ReplaceUser(suffix, p.system.UserName());
  }
  return folder;
}

std::wstring GetUserDataFolder(const Platform& p) {
  return GetSpecialFolder(p, csidl::kAppData) + L"\\Corvane\\Patchwell Hub\\";
}

std::wstring GetMainIniPath(const Platform& p) { return GetUserDataFolder(p) + L"Main.ini"; }

std::wstring GetInstallFolder(const Platform& p) {
  const OsVersion v = p.system.Version();
  const RegistryView view = (v.major == 5 && v.minor == 0) ? RegistryView::Default : kOwnRegistryView;
  const std::wstring location = ReadUninstallValue(p, view, L"InstallLocation");
  if (!location.empty()) return IncludeTrailingBackslash(location);
  return GetSpecialFolder(p, csidl::kProgramFiles) + L"\\Corvane\\Patchwell Hub\\";
}

std::wstring GetProductVersion(const Platform& p) {
  const RegistryView view = RunsUnderWow64(p.system) ? kOwnRegistryView : RegistryView::Default;
  std::wstring version = ReadUninstallValue(p, view, L"DisplayVersion");
  if (version.empty() && p.files.FileExists(L"PatchwellHub.exe")) {
    if (const auto v = p.files.FixedFileVersion(L"PatchwellHub.exe")) {
      version = std::to_wstring((*v)[0]) + L'.' + std::to_wstring((*v)[1]) + L'.' + std::to_wstring((*v)[2]) + L'.' +
                std::to_wstring((*v)[3]);
    } else {
      version = L"Unknown";
    }
  }
  return version.empty() ? L"Unknown Version" : version;
}

}  // namespace nudgelet::app
