#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/ExtIniFile.h"
#include "settings/SafeIniFile.h"
#include "settings/TextFile.h"
#include "support/FakePlatform.h"

namespace nudgelet {
namespace {

using testing::AsBytes;
using ::testing::ElementsAre;
using testing::InMemoryFileSystem;
using testing::Utf16LeWithBom;

const std::wstring kMainIni = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\Main.ini";

TEST(IniSections, ParseTrimsAndKeepsOrder) {
  auto ini = IniSections::Parse({L"stray=before any section", L"  [ Main ]  ", L"  Language =  Deutsch  ",
                                 L"; a comment", L"", L"plain line", L"[Second]", L"k=v=w", L"[main]", L"Other=x"});
  EXPECT_THAT(ini.SectionNames(), ElementsAre(L"Main", L"Second", L"main"));
  EXPECT_EQ(ini.Value(L"MAIN", L"language"), L"Deutsch");
  EXPECT_EQ(ini.Value(L"second", L"K"), L"v=w");  // everything after the first "="
  EXPECT_THAT(ini.Lines(L"Main"), ElementsAre(L"Language=Deutsch", L"plain line"));
  EXPECT_THAT(ini.KeyNames(L"Main"), ElementsAre(L"Language"));
  // A repeated section is kept, but look-ups find the first one.
  EXPECT_FALSE(ini.Value(L"Main", L"Other"));
  EXPECT_FALSE(ini.Value(L"Missing", L"x"));
}

TEST(IniSections, WritesReplaceTheFirstKeyAndRoundTrip) {
  auto ini = IniSections::Parse({L"[A]", L"x=1", L"X=2"});
  ini.SetValue(L"a", L"X", L"3");
  ini.SetValue(L"New", L"k", L"v");
  EXPECT_THAT(ini.ToLines(), ElementsAre(L"[A]", L"X=3", L"X=2", L"", L"[New]", L"k=v", L""));
  EXPECT_TRUE(ini.DeleteKey(L"A", L"x"));
  EXPECT_EQ(ini.Value(L"A", L"x"), L"2");
  EXPECT_FALSE(ini.DeleteKey(L"A", L"nothing"));
  EXPECT_TRUE(ini.EraseSection(L"new"));
  EXPECT_FALSE(ini.HasSection(L"New"));
  EXPECT_EQ(IniSections::Parse(ini.ToLines()).ToLines(), ini.ToLines());
}

TEST(CustomIniFile, IntegersBooleansAndDates) {
  InMemoryFileSystem fs;
  TExtIniFile ini(fs);
  ini.LoadFromLines({L"[S]", L"dec= 42", L"neg=-7", L"hex=$1F", L"cee=0x10", L"all=$FFFFFFFF", L"big=2147483648",
                     L"junk=12a", L"empty=", L"zero=0", L"when=12/04/2026 14:03:07:123", L"bad=13/45/2026"});
  EXPECT_EQ(ini.ReadInteger(L"S", L"dec", 0), 42);
  EXPECT_EQ(ini.ReadInteger(L"S", L"neg", 0), -7);
  EXPECT_EQ(ini.ReadInteger(L"S", L"hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger(L"S", L"cee", 0), 16);
  EXPECT_EQ(ini.ReadInteger(L"S", L"all", 0), -1);
  EXPECT_EQ(ini.ReadInteger(L"S", L"big", 5), 5);
  EXPECT_EQ(ini.ReadInteger(L"S", L"junk", 5), 5);
  EXPECT_EQ(ini.ReadInteger(L"S", L"empty", 5), 5);
  EXPECT_TRUE(ini.ReadBool(L"S", L"dec", false));
  EXPECT_FALSE(ini.ReadBool(L"S", L"zero", true));
  EXPECT_TRUE(ini.ReadBool(L"S", L"junk", true));
  const TDateTime when = ini.ReadDateTime(L"S", L"when", 0);
  EXPECT_EQ(FormatSettingsDateTime(when), L"12/04/2026 14:03:07:123");
  EXPECT_EQ(ini.ReadDateTime(L"S", L"bad", -1), -1);
  EXPECT_TRUE(ini.ValueExists(L"s", L"DEC"));
  EXPECT_TRUE(ini.SectionExists(L"s"));
}

TEST(SafeIniFile, CreatesAMissingFileAndItsFoldersOrInTheCurrentFolder) {
  InMemoryFileSystem fs;
  {
    TSafeIniFile ini(fs, kMainIni);
    EXPECT_FALSE(ini.LoadFailed());
    EXPECT_EQ(ini.ReadString(L"Software", L"AutoUpdate", L"0"), L"0");
  }
  EXPECT_TRUE(fs.FileExists(kMainIni));
  EXPECT_TRUE(fs.Bytes(kMainIni).empty());  // nothing changed, nothing written
  // A name without a folder is in the current folder.
  {
    TSafeIniFile ini(fs, L"Local.ini");
    ini.WriteString(L"A", L"b", L"c");
  }
  EXPECT_TRUE(fs.FileExists(L"C:\\Work\\Local.ini"));
}

TEST(SafeIniFile, SavesUtf16WithByteOrderMarkOnlyWhenModified) {
  InMemoryFileSystem fs;
  fs.AddFile(kMainIni, Utf16LeWithBom(L"[Icon]\r\nIconLevel=0\r\n"));
  { TSafeIniFile ini(fs, kMainIni); }
  EXPECT_EQ(fs.AtomicWrites(), 0);
  {
    TSafeIniFile ini(fs, kMainIni);
    ini.WriteInteger(L"ICON", L"IconLevel", 1);
    ini.WriteString(L"Software", L"AutoUpdate", L"0");
  }
  EXPECT_EQ(fs.AtomicWrites(), 1);
  EXPECT_EQ(fs.Bytes(kMainIni), Utf16LeWithBom(L"[Icon]\r\nIconLevel=1\r\n\r\n[Software]\r\nAutoUpdate=0\r\n\r\n"));
}

TEST(SafeIniFile, EveryChangeOfItsContentMarksItModified) {
  struct Case {
    const char* what;
    void (*change)(TSafeIniFile&);
    bool modified;
  };
  const Case cases[] = {
      {"nothing", [](TSafeIniFile&) {}, false},
      {"a missing key deleted", [](TSafeIniFile& ini) { ini.DeleteKey(L"A", L"none"); }, true},
      {"new content loaded", [](TSafeIniFile& ini) { ini.LoadFromBytes(Utf16LeWithBom(L"[B]\r\ny=2\r\n")); }, true},
      {"a missing section erased", [](TSafeIniFile& ini) { ini.EraseSection(L"none"); }, false},
      {"a repeated section erased", [](TSafeIniFile& ini) { ini.EraseSection(L"a"); }, true},
  };
  for (const auto& c : cases) {
    InMemoryFileSystem fs;
    fs.AddFile(kMainIni, Utf16LeWithBom(L"[A]\r\nx=1\r\n[A]\r\nx=2\r\n"));
    TSafeIniFile ini(fs, kMainIni);
    c.change(ini);
    EXPECT_EQ(ini.Modified(), c.modified) << c.what;
  }
  // Every section of the name goes: the repeated one's values do not surface.
  InMemoryFileSystem fs;
  fs.AddFile(kMainIni, Utf16LeWithBom(L"[A]\r\nx=1\r\n[A]\r\nx=2\r\n"));
  TSafeIniFile ini(fs, kMainIni);
  ini.EraseSection(L"A");
  EXPECT_EQ(ini.ReadString(L"A", L"x", L"gone"), L"gone");
}

TEST(SafeIniFile, ReadOnlyAndHiddenFilesAreWrittenAndKeepTheirAttributes) {
  InMemoryFileSystem fs;
  constexpr std::uint32_t kReadOnlyHidden = 0x1 | 0x2 | 0x20;
  fs.AddFile(kMainIni, Utf16LeWithBom(L"[A]\r\nx=1\r\n"), kReadOnlyHidden);
  {
    TSafeIniFile ini(fs, kMainIni);
    ini.WriteString(L"A", L"x", L"2");
  }
  EXPECT_EQ(*fs.Attributes(kMainIni), kReadOnlyHidden);
  TSafeIniFile reread(fs, kMainIni);
  EXPECT_EQ(reread.ReadString(L"A", L"x", L""), L"2");
}

// Files the program cannot read must never be overwritten, however it changes its copy.
TEST(SafeIniFile, AnUnreadableFileIsNeverOverwritten) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool lock;
    std::uint32_t error;
  } cases[] = {{"locked by another process", Utf16LeWithBom(L"[A]\r\nx=1\r\n"), true, 32},
               {"binary garbage", {0x4D, 0x5A, 0x90, 0x00, 0x03, 0x00, 0xFF, 0x12}, false, 13},
               {"larger than any settings file", std::vector<std::uint8_t>((8u << 20) + 1, 'a'), false, 223}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InMemoryFileSystem fs;
    fs.AddFile(kMainIni, c.bytes);
    if (c.lock) fs.Lock(kMainIni);
    {
      TSafeIniFile ini(fs, kMainIni);
      EXPECT_TRUE(ini.LoadFailed());
      EXPECT_EQ(ini.LastError(), c.error);
      EXPECT_EQ(ini.ReadString(L"Software", L"AutoUpdate", L"0"), L"0");  // defaults apply
      ini.WriteString(L"Icon", L"IconLevel", L"1");
    }
    EXPECT_EQ(fs.AtomicWrites(), 0);
    EXPECT_EQ(fs.Bytes(kMainIni), c.bytes);
  }
}

TEST(SafeIniFile, ToleratesOddUtf16AndBomlessText) {
  InMemoryFileSystem fs;
  auto odd = Utf16LeWithBom(L"[Main]\r\nLanguage=Deutsch\r\n");
  odd.push_back(0x41);  // cut in the middle of a character
  fs.AddFile(kMainIni, odd);
  EXPECT_EQ(TSafeIniFile(fs, kMainIni).ReadString(L"Main", L"Language", L""), L"Deutsch");

  fs.AddFile(kMainIni, AsBytes("[Main]\nLanguage=Fran\xC3\xA7"
                               "ais\n"));  // UTF-8 without mark
  EXPECT_EQ(TSafeIniFile(fs, kMainIni).ReadString(L"Main", L"Language", L""), L"Fran\u00e7ais");

  fs.AddFile(kMainIni, AsBytes("[Main]\nLanguage=Fran\xE7"
                               "ais\n"));  // the system code page
  EXPECT_EQ(TSafeIniFile(fs, kMainIni).ReadString(L"Main", L"Language", L""), L"Fran\u00e7ais");
}

TEST(SafeIniFile, AFailedSaveKeepsTheOriginalAndReportsTheError) {
  InMemoryFileSystem fs;
  fs.AddFile(kMainIni, Utf16LeWithBom(L"[A]\r\nx=1\r\n"));
  TSafeIniFile ini(fs, kMainIni);
  ini.WriteString(L"A", L"x", L"2");
  fs.Lock(kMainIni);
  ini.UpdateFile();
  EXPECT_EQ(ini.LastError(), 32u);
  EXPECT_TRUE(ini.Modified());
  EXPECT_EQ(fs.Bytes(kMainIni), Utf16LeWithBom(L"[A]\r\nx=1\r\n"));
}

TEST(ExtIniFile, ReadsSharedFilesAndNeverWrites) {
  InMemoryFileSystem fs;
  const std::wstring path = L"C:\\Lang\\Deutsch.lng";
  fs.AddFile(path, Utf16LeWithBom(L"[NDG_M]\r\n   Hint Name   =   Name des Programms   \r\n"));
  TExtIniFile ini(fs, path);
  EXPECT_EQ(ini.ReadString(L"ndg_m", L"HINT NAME", L"-"), L"Name des Programms");
  ini.WriteString(L"NDG_M", L"x", L"y");
  ini.UpdateFile();
  EXPECT_EQ(ini.ReadString(L"NDG_M", L"x", L""), L"y");
  EXPECT_EQ(fs.AtomicWrites(), 0);
  EXPECT_FALSE(TExtIniFile(fs).LoadFromFile(L"C:\\Lang\\Missing.lng"));
}

}  // namespace
}  // namespace nudgelet
