#include "platform/ProcessModel.h"

#include "base/Strings.h"
#include "platform/SpecialFolders.h"

namespace nudgelet::platform {

bool RunsUnderWow64(const SystemFacts& system) { return system.Is64BitWindows(); }

int ShellFolderCsidl(int csidl, bool is64BitWindows) {
  if (!is64BitWindows) return csidl;
  switch (csidl) {
    case csidl::kProgramFiles:
      return csidl::kProgramFilesX86;
    case csidl::kProgramFilesCommon:
      return csidl::kProgramFilesCommonX86;
    default:
      return csidl;
  }
}

std::wstring EnvironmentVariableName(const std::wstring& name, bool is64BitWindows) {
  if (is64BitWindows) {
    if (EqualsIgnoreCase(name, L"ProgramFiles")) return L"ProgramFiles(x86)";
    if (EqualsIgnoreCase(name, L"CommonProgramFiles")) return L"CommonProgramFiles(x86)";
  }
  return name;
}

namespace {

std::wstring WithTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

bool StartsWithFolder(const std::wstring& upperPath, const std::wstring& upperFolder) {
  // The folder itself, or something inside it.
  if (upperPath.size() < upperFolder.size() - 1) return false;
  if (upperPath.size() == upperFolder.size() - 1) return upperFolder.compare(0, upperPath.size(), upperPath) == 0;
  return upperPath.compare(0, upperFolder.size(), upperFolder) == 0;
}

}  // namespace

std::wstring FileSystemPath(const std::wstring& path, const std::wstring& windowsDirectory, bool is64BitWindows) {
  if (!is64BitWindows || windowsDirectory.empty()) return path;
  const std::wstring windows = WithTrailingBackslash(windowsDirectory);
  const std::wstring upper = ToUpper(path);
  const std::wstring system32 = ToUpper(windows + L"System32\\");
  const std::wstring sysnative = ToUpper(windows + L"Sysnative\\");

  if (StartsWithFolder(upper, sysnative)) {
    return windows + L"System32" + path.substr(std::min(path.size(), sysnative.size() - 1));
  }
  if (!StartsWithFolder(upper, system32)) return path;

  static const wchar_t* const kExempt[] = {L"CATROOT",      L"CATROOT2", L"DRIVERSTORE",
                                           L"DRIVERS\\ETC", L"LOGFILES", L"SPOOL"};
  const std::wstring rest = upper.size() > system32.size() ? upper.substr(system32.size()) : L"";
  for (const wchar_t* exempt : kExempt) {
    const std::wstring e = exempt;
    if (rest == e || rest.rfind(e + L"\\", 0) == 0) return path;
  }
  return windows + L"SysWOW64" + path.substr(std::min(path.size(), system32.size() - 1));
}

}  // namespace nudgelet::platform
