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
std::wstring KeyUser(const std::wstring& name) {
  return L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + L"]\r\n";
}

// An uninstall entry with a name, an uninstaller "u" and the value lines given.
std::wstring App(const std::wstring& key, const std::wstring& name, const std::wstring& values = L"") {
  return key + L"\"DisplayName\"=\"" + name + L"\"\r\n\"UninstallString\"=\"u\"\r\n" + values;
}

// The record of that name a scan of the machine makes.
TSoftInfo Named(const FakePlatform& f, const std::wstring& name) {
  const TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  for (const auto& r : inventory.Records()) {
    if (r.DisplayName == name) return r;
  }
  ADD_FAILURE() << "no record " << WideToUtf8(name);
  return {};
}

TEST(Inventory, DatesAndSizes) {
  FakePlatform f;
  Load(f,
       App(Key32(L"Dated"), L"Dated", L"\"InstallDate\"=\"20120131\"\r\n\"EstimatedSize\"=dword:80000000\r\n") +
           App(Key32(L"BadDate"), L"BadDate", L"\"InstallDate\"=\"2012131\"\r\n\"EstimatedSize\"=dword:00000400\r\n"));
  const TSoftInfo dated = Named(f, L"Dated");
  EXPECT_EQ(dated.InstallDate, *EncodeDateTime({2012, 1, 31, 0, 0, 0, 0}));
  EXPECT_EQ(dated.InstallDateText, L"2012-01-31");
  EXPECT_EQ(dated.RegistryInstallDate, dated.InstallDate);
  // Two terabytes in kilobytes: a size, not a negative number.
  EXPECT_EQ(dated.Size, std::int64_t{0x80000000} * 1024);
  const TSoftInfo bad = Named(f, L"BadDate");
  EXPECT_EQ(bad.InstallDate, 0);
  EXPECT_EQ(bad.InstallDateText, L"");
  EXPECT_EQ(bad.SizeText, L"1.00 MB");
}

TEST(Inventory, ThirtyTwoBitWindowsScansOnce) {
  FakePlatform f;
  f.system.is64BitWindows = false;
  Load(f, App(KeyUser(L"U"), L"User"));
  TSoftwareInfo inventory(*f, platform::SystemCrypto(), kCache);
  EXPECT_EQ(inventory.Records().size(), 1u);
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

TEST_F(InstallFolders, TheDesktopIsNobodysInstallFolder) {
  platform::TAppFrame frame(*f);
  TSoftInfo r;
  r.UninstallString = L"\"C:\\Program Files (x86)\\Vendor\\App\\unins000.exe\" /SILENT";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"C:\\PROGRAM FILES (X86)\\VENDOR\\APP\\");
  r.UninstallString = L"C:\\Users\\tester\\Desktop\\uninstall.exe";
  EXPECT_EQ(InstallFolderFromUninstall(*f, frame, r), L"");
}

}  // namespace
}  // namespace nudgelet::detection
