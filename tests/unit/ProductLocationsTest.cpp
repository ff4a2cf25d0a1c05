#include <gtest/gtest.h>

#include "app/ProductLocations.h"
#include "platform/AppFrame.h"
#include "platform/SpecialFolderLookup.h"
#include "platform/SpecialFolders.h"
#include "settings/UserDataFolder.h"
#include "support/FakePlatform.h"

namespace nudgelet::app {
namespace {

using namespace platform;
using testing::FakePlatform;

const wchar_t* const kUninstall32 =
    L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Patchwell Hub_is1";
const wchar_t* const kUninstall64 =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Patchwell Hub_is1";

TEST(SpecialFolder, ShellAnswerWins) {
  FakePlatform f;
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kAppData), L"C:\\Users\\tester\\AppData\\Roaming");
  EXPECT_EQ(GetUserDataFolder(*f), L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\");
  // On 64-bit Windows program files are the x86 folders, as for the 32-bit product.
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kProgramFiles), L"C:\\Program Files (x86)");
  f.system.is64BitWindows = false;
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kProgramFiles), L"C:\\Program Files");
}

TEST(SpecialFolder, ShortShellAnswersFallBackToTheEnvironment) {
  FakePlatform f;
  f.folders.shell[csidl::kAppData] = L"C:";
  f.system.environment[L"APPDATA"] = L"  D:\\Roaming  ";
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kAppData), L"D:\\Roaming");
  // Every reader of Main.ini, the log's error count and the language included, finds the same file.
  EXPECT_EQ(GetMainIniPath(*f), L"D:\\Roaming\\Corvane\\Patchwell Hub\\Main.ini");
  f.folders.shell.erase(csidl::kProgramFilesX86);
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kProgramFiles), L"C:\\Program Files (x86)");  // ProgramFiles(x86)
}

TEST(SpecialFolder, WithoutEnvironmentTheFolderIsBuiltOnTheSystemDrive) {
  FakePlatform f;
  f.folders.shell.clear();
  f.system.environment.clear();
  f.folders.system = L"E:\\Windows\\system32";
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kAppData), L"E:\\Users\\tester\\AppData\\Roaming");
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kProgramFilesCommon), L"E:\\Program Files (x86)\\Common Files");
  f.system.version = {5, 1};
  f.system.is64BitWindows = false;
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kLocalAppData),
            L"E:\\Documents and Settings\\tester\\Local Settings\\Application Data");
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kCommonAppData), L"E:\\Documents and Settings\\All Users\\Application Data");
  EXPECT_EQ(GetSpecialFolder(*f, csidl::kFonts), L"");  // no fallback for other folders
}

TEST(InstallFolder, ComesFromTheThirtyTwoBitUninstallEntry) {
  FakePlatform f;
  EXPECT_EQ(GetInstallFolder(*f), L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\");
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall64, L"InstallLocation",
                      RegistryValue::FromString(L"C:\\Wrong"));
  EXPECT_EQ(GetInstallFolder(*f), L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\");
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32, L"InstallLocation",
                      RegistryValue::FromString(L"C:\\App"));
  EXPECT_EQ(GetInstallFolder(*f), L"C:\\App\\");
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32, L"InstallLocation",
                      RegistryValue::FromString(L"C:\\App\\"));
  EXPECT_EQ(GetInstallFolder(*f), L"C:\\App\\");
  // A value of an unexpected type is read as text; an absurdly large one as empty.
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32, L"InstallLocation", RegistryValue::FromDword(7));
  EXPECT_EQ(GetInstallFolder(*f), L"7\\");
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32, L"InstallLocation",
                      RegistryValue::FromString(std::wstring(kMaxRegistryValueBytes, L'x')));
  EXPECT_EQ(GetInstallFolder(*f), L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\");
}

TEST(ProductVersion, RegistryThenExecutableThenUnknown) {
  FakePlatform f;
  EXPECT_EQ(GetProductVersion(*f), L"Unknown Version");
  f.files.AddFile(L"C:\\Work\\PatchwellHub.exe", {'M', 'Z'});
  EXPECT_EQ(GetProductVersion(*f), L"Unknown");
  f.files.SetVersion(L"PatchwellHub.exe", {5, 2, 0, 118});
  EXPECT_EQ(GetProductVersion(*f), L"5.2.0.118");
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32, L"DisplayVersion", RegistryValue::FromString(L"5.3.1"));
  EXPECT_EQ(GetProductVersion(*f), L"5.3.1");
}

TEST(AppFrame, FoldersByIdAndUsersRoot) {
  FakePlatform f;
  TAppFrame frame(*f);
  EXPECT_EQ(frame.AppDataFolder(), L"C:\\Users\\tester\\AppData\\Roaming");
  EXPECT_EQ(frame.CommonAppDataFolder(), L"C:\\ProgramData");
  EXPECT_EQ(frame.ProgramFolder(), L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\");
  EXPECT_EQ(frame.Folder(0), L"C:\\Windows");
  EXPECT_EQ(frame.Folder(1), L"C:\\Windows\\system32");
  EXPECT_EQ(frame.Folder(14), L"");
  EXPECT_EQ(frame.Folder(15), L"C:\\Program Files (x86)");
  EXPECT_EQ(frame.Folder(29), L"C:\\Program Files (x86)");
  EXPECT_EQ(frame.Folder(36), L"");
  EXPECT_EQ(frame.AllUsersFolder(1), L"C:\\Users\\Public\\Desktop");
  EXPECT_EQ(frame.AllUsersFolder(13), L"");
  EXPECT_EQ(frame.UsersRoot(), L"C:\\Users");
}

struct MacroCase {
  const wchar_t* path;
  const wchar_t* expanded;
  const wchar_t* allUsers;
};

TEST(PathMacros, ExpandTheFirstMacroOfTheCatalogue) {
  FakePlatform f;
  f.files.AddFolder(L"C:\\Recycler");
  TAppFrame frame(*f);
  const MacroCase cases[] = {
      {L"C:\\Plain\\Path", L"C:\\Plain\\Path", L""},
      {L"not a path at all", L"not a path at all", L""},
      // %WINDIR% comes before %PROGRAMFILES%: only it is expanded.
      {L"%ProgramFiles%\\x;%windir%\\y", L"%ProgramFiles%\\x;C:\\Windows\\y", L""},
      {L"%programfiles%\\App", L"C:\\Program Files (x86)\\App", L""},
      {L"%Desktop%\\a.lnk|%DESKTOP%\\b.lnk", L"C:\\Users\\tester\\Desktop\\a.lnk|C:\\Users\\tester\\Desktop\\b.lnk",
       L"C:\\Users\\Public\\Desktop\\a.lnk|C:\\Users\\Public\\Desktop\\b.lnk"},
      {L"%APPDATA%\\Vendor", L"C:\\Users\\tester\\AppData\\Roaming\\Vendor", L"C:\\ProgramData\\Vendor"},
      {L"%PROGRAMS%\\App", L"C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\App",
       L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\App"},
      {L"%ROOTDRIVE%\\x", L"C:\\x", L""},
      {L"%TEMP%\\x", L"C:\\Windows\\temp\\x", L""},
      {L"%RECYCLE%", L"C:\\Recycler", L""},
      {L"%SYSTEMDRIVE%\\x", L"C:\\Windows\\system32\\x", L""},  // the whole system folder
      {L"ProgramFilesDir+\\App", L"C:\\Program Files (x86)\\App", L""},
      {L"%DAS%\\Public", L"C:\\Users\\Public", L""},
      {L"%%LOCALAPPDATA%%\\x", L"C:\\Users\\x", L""},
      {L"%LOCALAPPDATA%\\x", L"C:\\Users\\tester\\AppData\\Local\\x", L""},
      {L"%COMMON_PROGRAMS%\\x", L"C:\\Program Files (x86)\\Common Files\\x", L""}};
  for (const MacroCase& c : cases) {
    std::wstring path = c.path;
    std::wstring allUsers = L"stale";
    frame.ExpandPathMacros(path, allUsers);
    EXPECT_EQ(path, c.expanded) << WideToUtf8(c.path);
    EXPECT_EQ(allUsers, c.allUsers) << WideToUtf8(c.path);
  }
}

}  // namespace
}  // namespace nudgelet::app
