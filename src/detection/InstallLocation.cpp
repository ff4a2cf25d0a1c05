#include "detection/InstallLocation.h"

#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/ProcessModel.h"
#include "settings/TextFile.h"

namespace nudgelet::detection {
namespace {

std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& with) {
  for (std::size_t pos = text.find(what); pos != std::wstring::npos; pos = text.find(what, pos + with.size())) {
    text.replace(pos, what.size(), with);
  }
  return text;
}

// The rules both cleaners share, after the caller has picked its starting text.
// onlyWithBlank: the launcher names count only at the start or after a blank.
std::wstring StripLaunchers(const platform::TAppFrame& frame, std::wstring text, bool onlyWithBlank) {
  text = ReplaceAll(text, L"\"", L"");
  text = ReplaceAll(text, L"\\??\\", L"");
  text = ReplaceAll(text, L"\\\\", L"\\");
  std::wstring allUsers;
  frame.ExpandPathMacros(text, allUsers);

  for (const wchar_t* launcher : {L"RUNDLL.EXE", L"RUNDLL32.EXE", L"RUNDLL32", L"RUNDLL"}) {
    const std::wstring name = launcher;
    const bool present = onlyWithBlank ? (text.rfind(name, 0) == 0 || text.find(L" " + name) != std::wstring::npos)
                                       : text.find(name) != std::wstring::npos;
    if (present) text = ReplaceAll(text, name, L"");
  }
  if (const auto pos = text.find(L"ST6UNST.EXE -N"); pos != std::wstring::npos) {
    text = pos + 15 <= text.size() ? text.substr(pos + 15) : std::wstring();
  }
  for (const wchar_t* driverInstaller : {L"DPINST.EXE", L"DPINST32.EXE", L"DPINST64.EXE"}) {
    if (text.find(driverInstaller) == std::wstring::npos) continue;
    // Positions count from 1 in this rule, and a missing text is at position 0.
    const auto u = text.find(L"/U ");
    const auto inf = text.find(L".INF");
    const std::size_t start = (u == std::wstring::npos ? 0 : u + 1) + 3 - 1;
    const std::size_t count = (inf == std::wstring::npos ? 0 : inf + 1) + 3;
    text = start < text.size() ? text.substr(start, count) : std::wstring();
    break;
  }
  return Trim(text);
}

}  // namespace

std::wstring CleanInstallLocation(const platform::Platform& p, const platform::TAppFrame& frame,
                                  const std::wstring& path) {
  const std::wstring cleaned = StripLaunchers(frame, path, true);
  return p.files.DirectoryExists(cleaned) ? cleaned : std::wstring();
}

bool IsUsableFolder(const platform::Platform& p, const std::wstring& folder) {
  if (folder.find(L'%') != std::wstring::npos) return false;
  const std::wstring upper = IncludeTrailingBackslash(ToUpper(folder));
  if (upper.size() <= 3) return false;
  const auto shellFolders = p.registry.OpenReadOnly(
      platform::RegistryRoot::CurrentUser, L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      platform::RegistryViewFor(p.system.Is64BitWindows()));
  for (const wchar_t* name : {L"Desktop", L"Start Menu", L"Recent"}) {
    const std::wstring value = shellFolders ? shellFolders->ReadText(name).value_or(L"") : L"";
    if (!value.empty() && upper == IncludeTrailingBackslash(ToUpper(value))) return false;
  }
  for (const std::wstring& system : {p.folders.SystemDirectory(), p.folders.WindowsDirectory()}) {
    if (!system.empty() && upper == IncludeTrailingBackslash(ToUpper(system))) return false;
  }
  return true;
}

std::wstring InstallFolderFromUninstall(const platform::Platform& p, const platform::TAppFrame& frame,
                                        const TSoftInfo& record) {
  std::wstring text = ToUpper(record.UninstallString);
  if (text.empty() || text == L"_SPECIAL_CORVANETOOLBAR_" || text == L"_SPECIAL_TOOLBAR_") {
    text = ToUpper(record.DisplayIcon);
  }
  if (text.find(L"MSIEXEC.EXE /") != std::wstring::npos) text = record.Readme;
  text = StripLaunchers(frame, text, false);

  if (!p.files.FileExists(text)) {
    // Cut right after the executable's extension that comes first.
    const std::wstring lower = ToLower(text);
    std::size_t first = std::wstring::npos;
    for (const wchar_t* ext : {L".exe", L".dll", L".ocx", L".sys", L".cpl", L".bpl", L".cmd", L".vbs", L".ser", L".bin",
                               L".drv", L".bat", L".vxd"}) {
      const auto pos = lower.find(ext);
      if (pos != std::wstring::npos && (first == std::wstring::npos || pos < first)) first = pos;
    }
    if (first != std::wstring::npos) text = text.substr(0, first + 4);
  }
  const std::wstring folder = ExtractFilePath(text);
  if (folder.empty() || !p.files.DirectoryExists(ExcludeTrailingBackslash(folder)) || !IsUsableFolder(p, folder)) {
    return {};
  }
  return folder;
}

}  // namespace nudgelet::detection
