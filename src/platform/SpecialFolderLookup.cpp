#include "platform/SpecialFolderLookup.h"

#include "base/Strings.h"
#include "platform/ProcessModel.h"

namespace nudgelet::platform {
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
    {csidl::kProgramFilesCommon, L"CommonProgramFiles", L"CommonProgramFiles(x86)", L"\\Program Files\\Common Files",
     L"\\Program Files\\Common Files", L"\\Program Files (x86)\\Common Files", L"\\Program Files (x86)\\Common Files"},
};

std::wstring ReplaceUser(const wchar_t* pattern, const std::wstring& user) {
  std::wstring out = pattern;
  const auto pos = out.find(L"%u");
  if (pos != std::wstring::npos) out.replace(pos, 2, user);
  return out;
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

}  // namespace nudgelet::platform
