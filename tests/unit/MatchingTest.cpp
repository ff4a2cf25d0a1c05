#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "detection/EnglishEdition.h"
#include "detection/ExecutableFacts.h"
#include "detection/UpdateMatching.h"
#include "detection/WindowsVersionMask.h"
#include "support/FakePlatform.h"
#include "support/FakeUpdateDatabase.h"

namespace nudgelet::detection {
namespace {

using testing::FakePlatform;
using testing::FakeUpdateDatabase;
using testing::Utf16LeWithBom;

const std::wstring kMainIni = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\Main.ini";
const std::wstring kApp = L"C:\\Program Files (x86)\\Vendor\\App";

class Matching : public ::testing::Test {
 protected:
  void SetUp() override {
    f.files.AddFile(kApp + L"\\app.exe", {'M', 'Z'});
    db.Add(L"{APP}", L"Vendor App", L"Vendor Software Inc.").base[L"MainExeName"] = L"app.exe";
    db.Down(L"{APP}", 0,
            {{L"Version", L"5.2.3"},
             {L"OutURL", L"https://dl/app.exe"},
             {L"OutFileSize", L"1234"},
             {L"InstallerType", L"exe"},
             {L"DownURL", L"https://vendor/app"}});
  }

  // Evaluates one installed program and answers the trace.
  MatchTrace Evaluate(const std::wstring& name, const std::wstring& publisher, const std::wstring& version, int bit = 0,
                      const std::wstring& location = kApp, const std::wstring& keyPath = L"\\x") {
    TIgnoreList ignore(f.files, kMainIni);
    platform::TAppFrame frame(*f);
    matcher = std::make_unique<TUpdateMatcher>(MatchContext{*f, db, ignore, frame});
    return matcher->EvaluateCandidate({name, L"", 0, publisher, version, keyPath, bit, 1, location});
  }

  const std::vector<TSoftViewInfo>& Candidates() const { return matcher->Candidates(); }

  FakePlatform f;
  FakeUpdateDatabase db;
  std::unique_ptr<TUpdateMatcher> matcher;
};

TEST_F(Matching, ANewerDatabaseVersionMakesAnUpdateWithItsDownloads) {
  const MatchTrace trace = Evaluate(L"Vendor App 5", L"vendor software", L"5.2.1");
  EXPECT_EQ(trace.decision, L"candidate with update");
  ASSERT_EQ(Candidates().size(), 1u);
  const TSoftViewInfo& c = Candidates()[0];
  EXPECT_TRUE(c.HasUpdate);
  EXPECT_EQ(c.NewVersion, L"5.2.3");
  EXPECT_EQ(c.InstalledVersion, L"5.2.1");
  EXPECT_EQ(c.OutURL, L"https://dl/app.exe");
  EXPECT_EQ(c.OutFileSize, 1234);
  EXPECT_EQ(c.DownloadSize, 1234);
  EXPECT_EQ(c.InstallerType, L"exe");
  EXPECT_EQ(c.DownURL, L"https://vendor/app");
  EXPECT_EQ(c.Publisher, L"Vendor Software Inc.");
  EXPECT_EQ(c.MainExePath, kApp + L"\\app.exe");
  EXPECT_EQ(c.IgnoreName(), L"{APP}_0_1");
}

TEST_F(Matching, CurrentProgramsStayCandidatesWithoutDownloads) {
  Evaluate(L"Vendor App", L"Vendor", L"5.2.3");
  ASSERT_EQ(Candidates().size(), 1u);
  EXPECT_FALSE(Candidates()[0].HasUpdate);
  EXPECT_EQ(Candidates()[0].NewVersion, L"0");
  EXPECT_EQ(Candidates()[0].InstallerType, L"0");
  EXPECT_EQ(Candidates()[0].OutURL, L"");
  EXPECT_EQ(Candidates()[0].DownURL, L"https://vendor/app");
}

TEST_F(Matching, NoPublisherOrNoKeyOrNoExecutableMeansNoCandidate) {
  EXPECT_EQ(Evaluate(L"Vendor App", L" ", L"1").decision, L"no publisher");
  EXPECT_EQ(Evaluate(L"vendor app", L"Vendor", L"1").decision, L"not in the database");  // name is case-sensitive
  EXPECT_EQ(Evaluate(L"Vendor App", L"Other", L"1").decision, L"not in the database");
  EXPECT_THAT(Evaluate(L"Vendor App", L"Vendor", L"1", 0, L"C:\\Elsewhere").decision,
              ::testing::StartsWith(L"main executable missing"));
  EXPECT_FALSE(matcher->HasCandidateList());
  // Without an install folder the executable is not checked.
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1", 0, L"").decision, L"candidate with update");
  EXPECT_EQ(Candidates()[0].MainExePath, L"");
}

TEST_F(Matching, AlternativeExecutablesAreTriedInOrder) {
  db.products[0].base[L"MainExeName"] = L"bin\\old.exe|app.exe";
  Evaluate(L"Vendor App", L"Vendor", L"1");
  ASSERT_EQ(Candidates().size(), 1u);
  EXPECT_EQ(Candidates()[0].MainExePath, kApp + L"\\app.exe");
}

TEST_F(Matching, CompareOnlyTheLeadingPartsTheDatabaseAsksFor) {
  db.products[0].base[L"VerCompareNum"] = L"2";
  Evaluate(L"Vendor App", L"Vendor", L"5.2.1");
  ASSERT_EQ(Candidates().size(), 1u);
  EXPECT_FALSE(Candidates()[0].HasUpdate);  // 5.2.3 compares as 5.2

  db.products[0].base[L"VerCompareNum"] = L"1";
  db.Down(L"{APP}", 0, {{L"Version", L"7"}, {L"OutURL", L"u"}});
  Evaluate(L"Vendor App", L"Vendor", L"1");
  EXPECT_FALSE(Candidates()[0].HasUpdate);  // "7" has no dot: nothing left to compare
}

TEST_F(Matching, WithoutAVersionTheExecutableOrADashIsCompared) {
  f.files.SetVersion(kApp + L"\\app.exe", {5, 2, 3, 0});
  Evaluate(L"Vendor App", L"Vendor", L"  ");
  EXPECT_EQ(Candidates()[0].InstalledVersion, L"5.2.3.0");
  EXPECT_FALSE(Candidates()[0].HasUpdate);
  Evaluate(L"Vendor App", L"Vendor", L"", 0, L"");
  EXPECT_EQ(Candidates()[0].InstalledVersion, L"-");
  EXPECT_TRUE(Candidates()[0].HasUpdate);
}

TEST_F(Matching, SixtyFourBitEditionFallsBackToThirtyTwo) {
  Evaluate(L"Vendor App", L"Vendor", L"1", 1);
  EXPECT_EQ(Candidates()[0].Bit, 0);
  db.Down(L"{APP}", 1, {{L"Version", L"9"}, {L"OutURL", L"u64"}});
  Evaluate(L"Vendor App", L"Vendor", L"1", 1);
  EXPECT_EQ(Candidates()[0].Bit, 1);
  EXPECT_EQ(Candidates()[0].OutURL, L"u64");
}

TEST_F(Matching, FiltersDropCandidates) {
  f.files.AddFile(kMainIni, Utf16LeWithBom(L"[Ignore]\r\n{APP}_0_1_extra=whatever\r\n"));
  EXPECT_THAT(Evaluate(L"Vendor App", L"Vendor", L"1").decision, ::testing::StartsWith(L"ignored"));
  f.files.AddFile(kMainIni, Utf16LeWithBom(L"[Ignore]\r\n{app}_0_1=1\r\n"));  // case counts
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"candidate with update");

  db.Down(L"{APP}", 0, {{L"Version", L"9"}});
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"no download address");

  db.Down(L"{APP}", 0, {{L"Version", L"9"}, {L"InURL", L"u"}, {L"OsType", L"2"}});
  EXPECT_THAT(Evaluate(L"Vendor App", L"Vendor", L"1").decision, ::testing::StartsWith(L"not for this Windows"));
  f.system.version = {6, 0};
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"candidate with update");

  db.products[0].base[L"PreciseMainKey"] = L"1";
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"uninstall key does not hold MainRegKey");
  db.products[0].base[L"MainRegKey"] = L"VendorApp_is1";
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1", 0, kApp, L"\\SOFTWARE\\...\\VendorApp_is1").decision,
            L"candidate with update");
}

TEST_F(Matching, DatabaseNumbersAreDecimalOrAbsent) {
  // The fake system is Windows 7 (mask 4): OsType 2 hides the product there,
  // and a text that is no decimal number is an absent OsType (63).
  const struct {
    const wchar_t* osType;
    bool kept;
  } osTypes[] = {{L"4", true},  {L"2", false}, {L"-1", true}, {L"0x2", true},
                 {L"$2", true}, {L" 2", true}, {L"+2", true}, {L"4294967298", true}};
  for (const auto& t : osTypes) {
    db.Down(L"{APP}", 0, {{L"Version", L"9"}, {L"OutURL", L"u"}, {L"OsType", t.osType}});
    EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision == L"candidate with update", t.kept) << t.osType;
  }
  // The database has 5.2.3 and 5.2.1 is installed: only comparing two parts hides the update.
  db.Down(L"{APP}", 0, {{L"Version", L"5.2.3"}, {L"OutURL", L"u"}});
  for (const auto* parts : {L"2", L"0x2", L" 2", L"2 ", L"$2"}) {
    db.products[0].base[L"VerCompareNum"] = parts;
    Evaluate(L"Vendor App", L"Vendor", L"5.2.1");
    EXPECT_EQ(Candidates()[0].HasUpdate, std::wstring(parts) != L"2") << parts;
  }
}

TEST_F(Matching, FilesBelowSystem32AreTheOnesThe32BitProgramSaw) {
  db.Add(L"{TOOL}", L"Sys Tool", L"Vendor").base[L"MainExeName"] = L"tool.exe";
  db.Down(L"{TOOL}", 0, {{L"Version", L"2.0"}, {L"OutURL", L"u"}});
  const std::wstring system32 = L"C:\\Windows\\System32\\Tool";
  f.files.AddFile(system32 + L"\\tool.exe", {'M', 'Z'});
  f.files.SetVersion(system32 + L"\\tool.exe", {3, 0, 0, 0});
  EXPECT_THAT(Evaluate(L"Sys Tool", L"Vendor", L"", 0, system32).decision,
              ::testing::StartsWith(L"main executable missing"));

  f.files.AddFile(L"C:\\Windows\\SysWOW64\\Tool\\tool.exe", {'M', 'Z'});
  f.files.SetVersion(L"C:\\Windows\\SysWOW64\\Tool\\tool.exe", {1, 5, 0, 0});
  Evaluate(L"Sys Tool", L"Vendor", L"", 0, system32);
  ASSERT_EQ(Candidates().size(), 1u);
  EXPECT_EQ(Candidates()[0].MainExePath, system32 + L"\\tool.exe");  // named as the program names it
  EXPECT_EQ(Candidates()[0].InstalledVersion, L"1.5.0.0");
  // "Sysnative" is how the 32-bit program reached the real folder.
  Evaluate(L"Sys Tool", L"Vendor", L"", 0, L"C:\\Windows\\Sysnative\\Tool");
  EXPECT_EQ(Candidates()[0].InstalledVersion, L"3.0.0.0");
  EXPECT_FALSE(Candidates()[0].HasUpdate);
}

TEST_F(Matching, TwoProductsMatchingTheNameFallBackToThePrefixRule) {
  db.Add(L"{APP-PRO}", L"Vendor App Pro", L"Vendor Software Inc.");
  db.Add(L"{APP-2}", L"App", L"Vendor Software Inc.");
  // "Vendor App Pro 2" contains all three database names, and the fallback asks for a
  // database name that starts with the installed one, which none does.
  EXPECT_EQ(Evaluate(L"Vendor App Pro 2", L"Vendor", L"1", 0, L"").decision, L"not in the database");
  EXPECT_EQ(Evaluate(L"Vendor App Pro", L"Vendor", L"1", 0, L"").key, L"{APP-PRO}");
}

TEST_F(Matching, ChromeInstallationsAreToldApartBySoftName) {
  db.Add(L"{CHROME-ALL}", L"Google Chrome", L"Google LLC").base[L"SoftName"] = L"Chrome ALL User";
  db.Add(L"{CHROME-USER}", L"Google Chrome", L"Google LLC").base[L"SoftName"] = L"Chrome Current User";
  db.Down(L"{CHROME-ALL}", 0, {{L"Version", L"120.0"}, {L"OutURL", L"u"}});
  db.Down(L"{CHROME-USER}", 0, {{L"Version", L"120.0"}, {L"OutURL", L"u"}});
  EXPECT_EQ(Evaluate(L"Google Chrome (All User)", L"Google", L"119.0", 0, L"").key, L"{CHROME-ALL}");
  EXPECT_EQ(Evaluate(L"Google Chrome (Current User)", L"Google", L"119.0", 0, L"").key, L"{CHROME-USER}");
}

TEST_F(Matching, OnlyTheNewestInstallationOfAnEditionStays) {
  TIgnoreList ignore(f.files, kMainIni);
  platform::TAppFrame frame(*f);
  TUpdateMatcher m(MatchContext{*f, db, ignore, frame});
  m.EvaluateCandidate({L"Vendor App", L"", 0, L"Vendor", L"4.0", L"", 0, 1, L""});
  m.EvaluateCandidate({L"Vendor App", L"", 0, L"Vendor", L"5.0", L"", 0, 1, L""});
  db.Down(L"{APP}", 1, {{L"Version", L"9"}, {L"OutURL", L"u"}});
  m.EvaluateCandidate({L"Vendor App", L"", 0, L"Vendor", L"3.0", L"", 1, 1, L""});
  TSoftwareInfo empty(*f, platform::SystemCrypto(), L"C:\\none.ini");
  m.MatchInstalledPrograms(empty);  // runs the de-duplication after the (empty) walk
  std::vector<std::wstring> kept;
  for (const auto& c : m.Candidates()) kept.push_back(c.InstalledVersion + L"/" + std::to_wstring(c.Bit));
  EXPECT_THAT(kept, ::testing::ElementsAre(L"5.0/0", L"3.0/1"));
}

TEST(ExecutableFacts, MachineKindFromThePeHeader) {
  FakePlatform f;
  auto exe = [](std::uint16_t machine) {
    std::vector<std::uint8_t> bytes(0x80 + 24, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[60] = 0x80;
    bytes[0x80] = 'P';
    bytes[0x81] = 'E';
    bytes[0x84] = static_cast<std::uint8_t>(machine);
    bytes[0x85] = static_cast<std::uint8_t>(machine >> 8);
    return bytes;
  };
  f.files.AddFile(L"C:\\a32.exe", exe(0x014C));
  f.files.AddFile(L"C:\\a64.exe", exe(0x8664));
  f.files.AddFile(L"C:\\arm.exe", exe(0xAA64));
  auto cut = exe(0x014C);
  cut.resize(0x82);
  f.files.AddFile(L"C:\\cut.exe", cut);
  auto far = exe(0x014C);
  far[63] = 0x7F;  // header offset far beyond the file
  f.files.AddFile(L"C:\\far.exe", far);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\a32.exe"), MachineKind::I386);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\a64.exe"), MachineKind::X64);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\arm.exe"), MachineKind::Other);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\cut.exe"), MachineKind::Other);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\far.exe"), MachineKind::Other);
  EXPECT_EQ(ExecutableMachineKind(f.files, L"C:\\missing.exe"), MachineKind::Other);
}

TEST(WindowsVersionMask, FromTheSystemVersion) {
  EXPECT_EQ(WindowsVersionMask({5, 1}), 1);
  EXPECT_EQ(WindowsVersionMask({6, 0}), 2);
  EXPECT_EQ(WindowsVersionMask({6, 1}), 4);
  EXPECT_EQ(WindowsVersionMask({6, 2}), 8);
  EXPECT_EQ(WindowsVersionMask({6, 3}), 16);
  EXPECT_EQ(WindowsVersionMask({6, 4}), 32);
  EXPECT_EQ(WindowsVersionMask({10, 0}), 32);
  EXPECT_EQ(WindowsVersionMask({8, 0}), 32);  // unlisted versions count as the newest
}

TEST(EnglishEdition, OfLanguageSpecificProducts) {
  FakePlatform f;
  TSoftViewInfo rar;
  rar.Key = L"{24B0AC54-19B3-45F8-9FC7-99D4E8B2B9F2}";
  rar.InstallLocation = L"C:\\Rar\\";
  EXPECT_FALSE(IsEnglishEdition(*f, rar));
  f.files.AddFile(L"C:\\Rar\\ReadMe.txt",
                  testing::AsBytes("This archive contains the WinRAR multifunctional integrated archive manager.\r\n"));
  EXPECT_TRUE(IsEnglishEdition(*f, rar));
  f.files.AddFile(L"C:\\Rar\\Rar.txt", testing::AsBytes("Benutzerhandbuch\r\nmanual\r\n"));
  EXPECT_FALSE(IsEnglishEdition(*f, rar));  // the first line decides

  TSoftViewInfo office;
  office.Key = L"{9D995D02-0224-4AF6-AEDE-EA404F6A2560}";
  office.DisplayName = L"Office (en-us)";
  EXPECT_TRUE(IsEnglishEdition(*f, office));
  office.DisplayName = L"Office (de-de)";
  EXPECT_FALSE(IsEnglishEdition(*f, office));

  TSoftViewInfo other;
  other.Key = L"{ANY}";
  EXPECT_TRUE(IsEnglishEdition(*f, other));
}

}  // namespace
}  // namespace nudgelet::detection
