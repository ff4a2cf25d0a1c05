#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Strings.h"
#include "detection/InstallLocation.h"
#include "detection/SoftwareInfo.h"
#include "detection/UninstallRegistry.h"
#include "platform/Crypto.h"
#include "platform/RegFile.h"
#include "support/FakePlatform.h"

namespace nudgelet::detection {
namespace {

using testing::FakePlatform;
using testing::Utf16LeWithBom;

const std::wstring kCache = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\SoftwareCache.ini";

void Load(FakePlatform& f, const std::wstring& body) {
  platform::LoadRegFile(f.registry, Utf16LeWithBom(L"Windows Registry Editor Version 5.00\r\n\r\n" + body));
}

std::wstring Key32(const std::wstring& name) {
  return L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name +
         L"]\r\n";
}
std::wstring Key64(const std::wstring& name) {
  return L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + L"]\r\n";
}
std::wstring KeyUser(const std::wstring& name) {
  return L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + L"]\r\n";
}

std::vector<TSoftInfo> Visible(const TSoftwareInfo& inventory) {
  std::vector<TSoftInfo> out;
  for (const auto& r : inventory.Records()) {
    if (!r.Hidden) out.push_back(r);
  }
  return out;
}

const TSoftInfo* Named(const std::vector<TSoftInfo>& records, const std::wstring& name) {
  for (const auto& r : records) {
    if (r.DisplayName == name) return &r;
  }
  return nullptr;
}

TEST(Inventory, KeepsOnlyEntriesWithANameAndAnUninstaller) {
  FakePlatform f;
  Load(f, Key32(L"NoName") + L"\"UninstallString\"=\"C:\\\\x.exe\"\r\n" + Key32(L"NoUninstaller") +
              L"\"DisplayName\"=\"Orphan\"\r\n" + Key32(L"{11111111-2222-3333-4444-555555555555}") +
              L"\"DisplayName\"=\"  Msi Product  \"\r\n" + Key32(L"{AAAAAAAA-2222-3333-4444-555555555555}") +
              L"\"DisplayName\"=\"Hidden Msi\"\r\n\"SystemComponent\"=dword:00000001\r\n" + Key32(L"Surfing") +
              L"\"DisplayName\"=\"Tidewell Care Surfing Protection\"\r\n\"UninstallString\"=\"u.exe\"\r\n" +
              Key32(L"OldControl") +
              L"\"DisplayName\"=\"Control\"\r\n\"UninstallString\"=\"regsvr32 /u x.ocx\"\r\n\"Publisher\"=\"Microsoft "
              L"Corporation\"\r\n");
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  const auto all = inventory.Records();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].DisplayName, L"Msi Product");
  EXPECT_EQ(all[0].UninstallString, L"MsiExec.exe /X {11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(all[0].RootName, L"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(all[0].KeyPath,
            L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(all[0].HelpLink, L"-");
  EXPECT_EQ(all[0].Publisher, L" ");
  EXPECT_EQ(all[0].DisplayVersion, L"-");
  EXPECT_EQ(all[0].SizeText, L"0 Byte");
  EXPECT_EQ(all[0].Index, 0);
}

TEST(Inventory, RewritesMsiInstallCommandsToRemoval) {
  FakePlatform f;
  Load(f, Key32(L"A") + L"\"DisplayName\"=\"A\"\r\n\"UninstallString\"=\"msiexec.exe /i{ABC}\"\r\n" + Key32(L"B") +
              L"\"DisplayName\"=\"B\"\r\n\"UninstallString\"=\"MsiExec.exe /I{ABC} REMOVE=ALL\"\r\n");
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  const auto v = Visible(inventory);
  EXPECT_EQ(Named(v, L"A")->UninstallString, L"MsiExec.exe /X{ABC}");
  EXPECT_EQ(Named(v, L"B")->UninstallString, L"MsiExec.exe /I{ABC} REMOVE=ALL");
}

TEST(Inventory, FlagsDatesAndSizes) {
  FakePlatform f;
  Load(
      f,
      Key32(L"KB1") + L"\"DisplayName\"=\"Security Update (KB123456)\"\r\n\"UninstallString\"=\"u\"\r\n" +
          Key32(L"SP") +
          L"\"DisplayName\"=\"Office Service Pack 2\"\r\n\"UninstallString\"=\"u\"\r\n\"Publisher\"=\"Microsoft\"\r\n" +
          Key32(L"TB") + L"\"DisplayName\"=\"Ask Tool-Bar\"\r\n\"UninstallString\"=\"u\"\r\n" + Key32(L"Dated") +
          L"\"DisplayName\"=\"Dated\"\r\n\"UninstallString\"=\"u\"\r\n\"InstallDate\"=\"20120131\"\r\n"
          L"\"EstimatedSize\"=dword:80000000\r\n" +
          Key32(L"BadDate") +
          L"\"DisplayName\"=\"BadDate\"\r\n\"UninstallString\"=\"u\"\r\n\"InstallDate\"=\"2012131\"\r\n"
          L"\"EstimatedSize\"=dword:00000400\r\n");
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  const auto v = Visible(inventory);
  EXPECT_TRUE(Named(v, L"Security Update (KB123456)")->IsUpdate);
  EXPECT_TRUE(Named(v, L"Office Service Pack 2")->IsUpdate);
  EXPECT_TRUE(Named(v, L"Ask Tool-Bar")->IsToolbar);
  EXPECT_FALSE(Named(v, L"Dated")->IsToolbar);
  const TSoftInfo* dated = Named(v, L"Dated");
  EXPECT_EQ(dated->InstallDate, *EncodeDateTime({2012, 1, 31, 0, 0, 0, 0}));
  EXPECT_EQ(dated->InstallDateText, L"2012-01-31");
  EXPECT_EQ(dated->RegistryInstallDate, dated->InstallDate);
  // Two terabytes in kilobytes: a size, not a negative number.
  EXPECT_EQ(dated->Size, std::int64_t{0x80000000} * 1024);
  const TSoftInfo* bad = Named(v, L"BadDate");
  EXPECT_EQ(bad->InstallDate, 0);
  EXPECT_EQ(bad->InstallDateText, L"");
  EXPECT_EQ(bad->SizeText, L"1.00 MB");
}

TEST(Inventory, FoldsDuplicatesAcrossViewsAndSystemComponents) {
  FakePlatform f;
  Load(f,
       // Same program in the 32-bit view and the user's key: found in both passes.
       Key32(L"Same") + L"\"DisplayName\"=\"Same\"\r\n\"DisplayVersion\"=\"1.0\"\r\n\"UninstallString\"=\"u\"\r\n" +
           KeyUser(L"Same") +
           L"\"DisplayName\"=\"same\"\r\n\"DisplayVersion\"=\"1.0\"\r\n\"UninstallString\"=\"u\"\r\n"
           L"\"URLInfoAbout\"=\"https://same.example\"\r\n" +
           // A system component twin completes the visible entry.
           Key32(L"SysA") +
           L"\"DisplayName\"=\"Tool\"\r\n\"UninstallString\"=\"u\"\r\n\"SystemComponent\"=dword:1\r\n"
           L"\"DisplayIcon\"=\"C:\\\\tool.ico\"\r\n" +
           Key64(L"ToolB") + L"\"DisplayName\"=\"Tool\"\r\n\"UninstallString\"=\"v\"\r\n" +
           // Different versions both stay.
           Key64(L"V1") + L"\"DisplayName\"=\"Twin\"\r\n\"DisplayVersion\"=\"1\"\r\n\"UninstallString\"=\"u\"\r\n" +
           Key64(L"V2") + L"\"DisplayName\"=\"Twin\"\r\n\"DisplayVersion\"=\"2\"\r\n\"UninstallString\"=\"u\"\r\n");
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  const auto v = Visible(inventory);
  std::vector<std::wstring> names;
  for (const auto& r : v) names.push_back(r.DisplayName);
  EXPECT_THAT(names, ::testing::UnorderedElementsAre(L"Same", L"Tool", L"Twin", L"Twin"));
  EXPECT_EQ(Named(v, L"Same")->URLInfoAbout, L"https://same.example");
  EXPECT_FALSE(Named(v, L"Same")->Is64BitView);
  const TSoftInfo* tool = Named(v, L"Tool");
  EXPECT_FALSE(tool->IsSystemComponent);
  EXPECT_TRUE(tool->Is64BitView);
  EXPECT_EQ(tool->DisplayIcon, L"C:\\tool.ico");
}

TEST(Inventory, ThirtyTwoBitWindowsScansOnce) {
  FakePlatform f;
  f.system.is64BitWindows = false;
  Load(f, KeyUser(L"U") + L"\"DisplayName\"=\"User\"\r\n\"UninstallString\"=\"u\"\r\n");
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  EXPECT_EQ(inventory.Records().size(), 1u);
}

std::wstring Md5Hex(const std::string& bytes) {
  const auto d = platform::SystemCrypto().Md5(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  std::wstring hex;
  for (auto b : d) {
    hex += L"0123456789ABCDEF"[b >> 4];
    hex += L"0123456789ABCDEF"[b & 15];
  }
  return hex;
}

TEST(Inventory, CompletesFromTheCacheOnlyWhenItsChecksumHolds) {
  FakePlatform f;
  Load(f, Key32(L"Good") + L"\"DisplayName\"=\"Good\"\r\n\"UninstallString\"=\"C:\\\\good\\\\uninst.exe\"\r\n" +
              Key32(L"Forged") + L"\"DisplayName\"=\"Forged\"\r\n\"UninstallString\"=\"C:\\\\f\\\\uninst.exe\"\r\n");
  const std::wstring date = L"05/06/2021 10:11:12";
  f.files.AddFile(kCache, Utf16LeWithBom(L"[Good]\r\nInstallDate=" + date + L"\r\nMD5=" +
                                         Md5Hex("05/06/2021 10:11:12C:\\good\\uninst.exe") +
                                         L"\r\nsize=2048\r\nDisplayIcon=C:\\good\\app.exe\r\nIconIndex=2\r\n"
                                         L"Location=C:\\good\\\r\nQuickUninstall=q\r\n"
                                         L"[Forged]\r\nInstallDate=" +
                                         date +
                                         L"\r\nMD5=00000000000000000000000000000000\r\n"
                                         L"size=99\r\n"));
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  const auto v = Visible(inventory);
  const TSoftInfo* good = Named(v, L"Good");
  EXPECT_EQ(good->InstallDateText, date);
  EXPECT_EQ(good->InstallDate, *EncodeDateTime({2021, 5, 6, 10, 11, 12, 0}));
  EXPECT_EQ(good->RegistryInstallDate, 0);
  EXPECT_EQ(good->Size, 2048);
  EXPECT_EQ(good->SizeText, L"2.00 KB");
  EXPECT_EQ(good->RegistrySize, 0);
  EXPECT_EQ(good->DisplayIcon, L"C:\\good\\app.exe");
  EXPECT_EQ(good->IconIndex, 2);
  EXPECT_EQ(good->InstallLocation, L"C:\\good\\");
  EXPECT_EQ(good->QuickUninstall, L"q");
  EXPECT_EQ(Named(v, L"Forged")->Size, 0);
}

TEST(ByteSize, Units) {
  EXPECT_EQ(FormatByteSize(0), L"0 Byte");
  EXPECT_EQ(FormatByteSize(1023), L"1023 Byte");
  EXPECT_EQ(FormatByteSize(1024), L"1.00 KB");
  EXPECT_EQ(FormatByteSize(1536 * 1024), L"1.50 MB");
  EXPECT_EQ(FormatByteSize(std::int64_t{5} << 40), L"5120.00 GB");
  // Halves go away from zero, whatever the C runtime does with ties.
  EXPECT_EQ(FormatByteSize(1152), L"1.13 KB");
  EXPECT_EQ(FormatByteSize(1151), L"1.12 KB");
  EXPECT_EQ(FormatByteSize(1179648), L"1.13 MB");
  EXPECT_EQ(FormatByteSize(1048575), L"1024.00 KB");
}

TEST(RegistryDate, TwoSeparatorsAreInserted) {
  EXPECT_EQ(*ParseRegistryInstallDate(L"20120131"), *EncodeDateTime({2012, 1, 31, 0, 0, 0, 0}));
  EXPECT_FALSE(ParseRegistryInstallDate(L"2012131"));
  EXPECT_FALSE(ParseRegistryInstallDate(L"20121331"));
  EXPECT_FALSE(ParseRegistryInstallDate(L"2012"));
  EXPECT_FALSE(ParseRegistryInstallDate(L"garbage!"));
}

TEST(RecursiveKeys, BreadthFirstBelowTheBase) {
  FakePlatform f;
  Load(f, Key32(L"A\\Deep\\Deeper") + Key32(L"B"));
  std::vector<std::wstring> keys;
  EXPECT_EQ(EnumerateKeysRecursive(f.registry, L"HKEY_LOCAL_MACHINE", kUninstallKey, keys, false), 5u);
  EXPECT_THAT(keys,
              ::testing::ElementsAre(std::wstring(kUninstallKey), std::wstring(kUninstallKey) + L"\\A",
                                     std::wstring(kUninstallKey) + L"\\B", std::wstring(kUninstallKey) + L"\\A\\Deep",
                                     std::wstring(kUninstallKey) + L"\\A\\Deep\\Deeper"));
  EXPECT_EQ(ReadRegInteger(f.registry, L"HKEY_NOWHERE", kUninstallKey, L"x", false), 0);
}

class InstallFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    f.files.AddFolder(L"C:\\Program Files (x86)\\Vendor\\App");
    f.files.AddFile(L"C:\\Program Files (x86)\\Vendor\\App\\app.exe", {'M', 'Z'});
    f.files.AddFolder(L"C:\\Users\\tester\\Desktop");
    f.registry.SetValue(platform::RegistryRoot::CurrentUser,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Desktop",
                        platform::RegistryValue::FromString(L"C:\\Users\\tester\\Desktop"));
  }
  FakePlatform f;
};

TEST_F(InstallFolders, CleanLocationStripsQuotesAndLaunchers) {
  platform::TAppFrame frame(*f);
  EXPECT_EQ(CleanInstallLocation(*f, frame, L"\"C:\\\\Program Files (x86)\\Vendor\\App\""),
            L"C:\\Program Files (x86)\\Vendor\\App");
  EXPECT_EQ(CleanInstallLocation(*f, frame, L"\\??\\%ProgramFiles%\\Vendor\\App"),
            L"C:\\Program Files (x86)\\Vendor\\App");
  EXPECT_EQ(CleanInstallLocation(*f, frame, L"RUNDLL32 C:\\Program Files (x86)\\Vendor\\App"),
            L"C:\\Program Files (x86)\\Vendor\\App");
  EXPECT_EQ(CleanInstallLocation(*f, frame, L"C:\\Nowhere"), L"");
}

TEST_F(InstallFolders, FromTheUninstallerIconOrReadme) {
  platform::TAppFrame frame(*f);
  TSoftInfo r;
  r.UninstallString = L"\"C:\\Program Files (x86)\\Vendor\\App\\unins000.exe\" /SILENT";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"C:\\PROGRAM FILES (X86)\\VENDOR\\APP\\");
  r.UninstallString = L"_SPECIAL_TOOLBAR_";
  r.DisplayIcon = L"C:\\Program Files (x86)\\Vendor\\App\\app.exe,0";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"C:\\PROGRAM FILES (X86)\\VENDOR\\APP\\");
  r.UninstallString = L"MsiExec.exe /X{ABC}";
  r.Readme = L"C:\\Program Files (x86)\\Vendor\\App\\readme.txt";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"C:\\Program Files (x86)\\Vendor\\App\\");
  // Nobody's install folder: the desktop, a drive root, the Windows folder.
  r.UninstallString = L"C:\\Users\\tester\\Desktop\\uninstall.exe";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"");
  r.UninstallString = L"C:\\uninstall.exe";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"");
  r.UninstallString = L"C:\\Windows\\uninstall.exe";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"");
}

}  // namespace
}  // namespace nudgelet::detection
