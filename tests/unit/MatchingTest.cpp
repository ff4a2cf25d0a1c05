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
    db.Down(L"{APP}", 0, {{L"Version", L"5.2.3"}, {L"OutURL", L"https://dl/app.exe"}});
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

TEST_F(Matching, IgnoreEntriesAndWindowsVersionsDropCandidates) {
  EXPECT_EQ(Evaluate(L"Vendor App", L" ", L"1").decision, L"no publisher");
  EXPECT_FALSE(matcher->HasCandidateList());
  f.files.AddFile(kMainIni, Utf16LeWithBom(L"[Ignore]\r\n{app}_0_1=1\r\n"));  // case counts
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"candidate with update");
  db.Down(L"{APP}", 0, {{L"Version", L"9"}, {L"InURL", L"u"}, {L"OsType", L"2"}});
  EXPECT_THAT(Evaluate(L"Vendor App", L"Vendor", L"1").decision, ::testing::StartsWith(L"not for this Windows"));
  f.system.version = {6, 0};
  EXPECT_EQ(Evaluate(L"Vendor App", L"Vendor", L"1").decision, L"candidate with update");
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

TEST(EnglishEdition, TheFirstLineOfTheRarManualDecides) {
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
}

}  // namespace
}  // namespace nudgelet::detection
