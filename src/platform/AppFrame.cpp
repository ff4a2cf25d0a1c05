#include "platform/AppFrame.h"

#include <functional>

#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/ProcessModel.h"
#include "platform/SpecialFolderLookup.h"

namespace nudgelet::platform {

using namespace platform;

namespace {

// Folder ids 3..35 and the CSIDL each reads; 0..2 and 14 are handled apart.
constexpr int kFolderCsidl[36] = {-1,
                                  -1,
                                  -1,
                                  csidl::kInternetCache,
                                  csidl::kCookies,
                                  csidl::kHistory,
                                  csidl::kRecent,
                                  csidl::kDesktopDirectory,
                                  csidl::kPrograms,
                                  csidl::kFavorites,
                                  csidl::kStartup,
                                  csidl::kProfile,
                                  csidl::kAppData,
                                  csidl::kLocalAppData,
                                  -1,
                                  csidl::kProgramFiles,
                                  csidl::kProgramFilesCommon,
                                  csidl::kStartMenu,
                                  csidl::kCommonAppData,
                                  csidl::kLocalAppData,
                                  csidl::kFonts,
                                  csidl::kTemplates,
                                  csidl::kNetHood,
                                  csidl::kSendTo,
                                  csidl::kMyMusic,
                                  csidl::kMyVideo,
                                  csidl::kPrintHood,
                                  csidl::kMyPictures,
                                  csidl::kSystemX86,
                                  csidl::kProgramFilesX86,
                                  csidl::kProgramFilesCommon,
                                  csidl::kProgramFilesCommonX86,
                                  csidl::kAdminTools,
                                  csidl::kResources,
                                  csidl::kCdBurnArea,
                                  csidl::kPersonal};

constexpr int kAllUsersCsidl[13] = {
    csidl::kCommonAppData,   csidl::kCommonDesktopDirectory, csidl::kCommonPrograms, csidl::kCommonStartMenu,
    csidl::kCommonFavorites, csidl::kCommonStartMenu,        csidl::kCommonStartup,  csidl::kCommonTemplates,
    csidl::kCommonDocuments, csidl::kCommonAdminTools,       csidl::kCommonMusic,    csidl::kCommonPictures,
    csidl::kCommonVideo};

struct Macro {
  const wchar_t* name;
  std::function<std::wstring(const TAppFrame&, const Platform&)> folder;
  int allUsersId;  // -1: none
};

std::wstring Env(const Platform& p, const wchar_t* name) { return p.system.EnvironmentVariable(name).value_or(L""); }

const std::vector<Macro>& Macros() {
  using F = const TAppFrame&;
  using P = const Platform&;
  static const std::vector<Macro> macros = {
      {L"%SYSDIR%", [](F, P p) { return p.folders.SystemDirectory(); }, -1},
      {L"%WINDIR%", [](F, P p) { return p.folders.WindowsDirectory(); }, -1},
      {L"%DESKTOP%", [](F f, P) { return f.Folder(7); }, 1},
      {L"%TEMP%", [](F, P p) { return p.folders.WindowsDirectory() + L"\\temp"; }, -1},
      {L"%ROOTDRIVE%", [](F, P p) { return p.folders.SystemDirectory().substr(0, 2); }, -1},
      {L"%APPDATA%", [](F f, P) { return f.Folder(12); }, 0},
      {L"%PROGRAMFILES%", [](F f, P) { return f.Folder(15); }, -1},
      {L"%USERROOT%", [](F, P p) { return Env(p, L"USERPROFILE"); }, -1},
      {L"%PROGRAMS%", [](F f, P) { return f.Folder(8); }, 5},
      {L"%STARTMENU%", [](F f, P) { return f.Folder(17); }, 3},
      {L"%STARTUP%", [](F f, P) { return f.Folder(10); }, 6},
      {L"%QUICKLAUNCH%", [](F f, P) { return f.Folder(12) + L"\\Microsoft\\Internet Explorer\\Quick Launch"; }, -1},
      {L"%COMMONFILES%", [](F f, P) { return f.Folder(16); }, -1},
      {L"%FAVORITES%", [](F f, P) { return f.Folder(9); }, 4},
      {L"%DAS%", [](F f, P) { return f.UsersRoot(); }, -1},
      {L"%RECYCLE%",
       [](F, P p) {
         const std::wstring root = p.folders.SystemDirectory().substr(0, 3);
         return root + (p.files.DirectoryExists(root + L"Recycled") ? L"Recycled" : L"Recycler");
       },
       -1},
      {L"%WINDOWS%", [](F, P p) { return p.folders.WindowsDirectory(); }, -1},
      {L"%SYSTEM%", [](F, P p) { return p.folders.SystemDirectory(); }, -1},
      {L"%COMMON_PROGRAMS%", [](F f, P) { return f.Folder(16); }, -1},
      {L"%COMMON_STARTMENU%", [](F f, P) { return f.AllUsersFolder(5); }, -1},
      {L"%COMMON_DESKTOP%", [](F f, P) { return f.AllUsersFolder(1); }, -1},
      {L"%COMMON_FAVORITES%", [](F f, P) { return f.AllUsersFolder(4); }, -1},
      {L"%COMMON_DATAPATH%", [](F f, P) { return f.AllUsersFolder(0); }, -1},
      {L"%DATAPATH%", [](F f, P) { return f.Folder(12); }, -1},
      {L"%PROGRAM_FILES%", [](F f, P) { return f.Folder(15); }, -1},
      {L"PROGRAMFILESDIR+", [](F f, P) { return f.Folder(15); }, -1},
      {L"%SYSTEMDRIVE%", [](F, P p) { return p.folders.SystemDirectory(); }, -1},
      {L"SYSTEMROOT+", [](F, P p) { return p.folders.SystemDirectory(); }, -1},
      {L"%SYSTEMROOT%", [](F, P p) { return p.folders.SystemDirectory(); }, -1},
      {L"COMMONPROGRAMS+", [](F f, P) { return f.AllUsersFolder(2); }, -1},
      {L"%DESKTOPDIRECTORY%", [](F f, P) { return f.Folder(7); }, -1},
      {L"DESKTOPDIR+", [](F f, P) { return f.Folder(7); }, -1},
      {L"%COMMON_DESKTOPDIRECTORY%", [](F f, P) { return f.AllUsersFolder(1); }, -1},
      {L"STARTUPFOLDER+", [](F f, P) { return f.Folder(10); }, -1},
      {L"%ALLUSERS_APPDATA%", [](F f, P) { return f.AllUsersFolder(0); }, -1},
      {L"%START_MENU%", [](F f, P) { return f.Folder(17); }, -1},
      {L"%START_MENUALL%", [](F f, P) { return f.Folder(17); }, -1},
      {L"%START_PROGRAMSALL%", [](F f, P) { return f.Folder(15); }, -1},
      {L"%START_PROGRAMS%", [](F f, P) { return f.Folder(15); }, -1},
      {L"%SYSTEMDISKROOT%", [](F, P p) { return p.folders.SystemDirectory().substr(0, 2); }, -1},
      {L"%USERPROFILE%", [](F, P p) { return Env(p, L"USERPROFILE"); }, -1},
      {L"%DOWNLOADEDPROGRAMFILES%", [](F, P p) { return p.folders.WindowsDirectory() + L"\\Downloaded Program Files"; },
       -1},
      {L"%USERDOCUMENTS%", [](F f, P) { return f.UsersRoot(); }, -1},
      {L"%%LOCALAPPDATA%%", [](F f, P) { return f.UsersRoot(); }, -1},
      {L"%LOCALAPPDATA%", [](F f, P) { return f.Folder(13); }, -1},
  };
  return macros;
}

}  // namespace

std::wstring ProgramFolderOf(const std::wstring& executablePath) { return ExtractFilePath(executablePath); }

TAppFrame::TAppFrame(const Platform& p)
    : p_(p),
      appData_(ExcludeTrailingBackslash(GetSpecialFolder(p, csidl::kAppData))),
      commonAppData_(ExcludeTrailingBackslash(GetSpecialFolder(p, csidl::kCommonAppData))),
      programFolder_(ProgramFolderOf(p.folders.ExecutablePath())) {}

std::wstring TAppFrame::Folder(int id) const {
  switch (id) {
    case 0:
      return p_.folders.WindowsDirectory();
    case 1:
      return p_.folders.SystemDirectory();
    case 2:
      return p_.folders.TempPath();
    case 14:
      return {};
    default:
      break;
  }
  if (id < 0 || id >= static_cast<int>(std::size(kFolderCsidl))) return {};
  return p_.folders.ShellFolder(ShellFolderCsidl(kFolderCsidl[id], RunsUnderWow64(p_.system)));
}

std::wstring TAppFrame::AllUsersFolder(int id) const {
  if (id < 0 || id >= static_cast<int>(std::size(kAllUsersCsidl))) return {};
  return p_.folders.ShellFolder(kAllUsersCsidl[id]);
}

std::wstring TAppFrame::UsersRoot() const {
  const auto first = appData_.find(L'\\');
  if (first == std::wstring::npos) return appData_;
  const auto second = appData_.find(L'\\', first + 1);
  return appData_.substr(0, second);
}

void TAppFrame::ExpandPathMacros(std::wstring& path, std::wstring& allUsers) const {
  allUsers.clear();
  const std::wstring upper = ToUpper(path);
  for (const Macro& macro : Macros()) {
    if (upper.find(macro.name) == std::wstring::npos) continue;
    const std::wstring original = path;
    path = ReplaceAllIgnoreCase(original, macro.name, macro.folder(*this, p_));
    if (macro.allUsersId >= 0) allUsers = ReplaceAllIgnoreCase(original, macro.name, AllUsersFolder(macro.allUsersId));
    return;
  }
}

}  // namespace nudgelet::platform
