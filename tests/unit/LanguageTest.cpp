#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/Language.h"
#include "settings/IniSections.h"
#include "settings/TextFile.h"
#include "support/FakePlatform.h"

namespace nudgelet::app {
namespace {

using testing::InMemoryFileSystem;
using testing::Utf16LeWithBom;

const std::wstring kFolder = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\Language";

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddFile(kFolder + L"\\English.lng",
                  Utf16LeWithBom(L"[Main]\r\nDisplayName=English\r\n[NDG_M]\r\nShared=from NDG\r\n"
                                 L"[SoftCombox_M]\r\nShared=from SoftCombox\r\nBtn_Update=Update Now\r\n"
                                 L"[Combox_M]\r\nOwn=combox\r\n[Public_M]\r\nBtnClose=Close it\r\n"));
    files.AddFile(
        kFolder + L"\\German.lng",
        Utf16LeWithBom(L"[Main]\r\nDisplayName=Deutsch\r\n[SoftCombox_M]\r\nBtn_Update=Jetzt aktualisieren\r\n"));
  }
  InMemoryFileSystem files;
};

TEST_F(LanguageFiles, AMissingLanguageFallsBackToEnglish) {
  TLanguage language(files, L"NDG", kFolder);
  language.LoadLanguage(L"Klingon");
  EXPECT_EQ(language.LanguageName(), L"English");
  EXPECT_EQ(language.GetText(L"shared", L"default"), L"from NDG");

  language.LoadLanguage(L"German");
  EXPECT_EQ(language.DisplayName(), L"Deutsch");
  EXPECT_EQ(language.GetText(L"Shared", L"default"), L"default");  // the string table starts afresh
  language.LoadSection(L"SoftCombox");
  EXPECT_EQ(language.GetText(L"Btn_Update", L"Update Now"), L"Jetzt aktualisieren");
}

TEST_F(LanguageFiles, TheSectionLoadedFirstWinsAndLoadsOnce) {
  TLanguage language(files, L"NDG", kFolder);
  language.LoadLanguage(L"English");
  language.LoadSection(L"SoftCombox");
  language.LoadSection(L"softcombox");
  EXPECT_EQ(language.GetText(L"Shared", L""), L"from NDG");
  EXPECT_EQ(language.GetText(L"BTN_UPDATE", L""), L"Update Now");
  EXPECT_EQ(language.LoadedSections(), L"NDG_M|SoftCombox_M");
  // A section whose name is only part of a loaded one is still loaded.
  language.LoadSection(L"Combox");
  EXPECT_EQ(language.GetText(L"Own", L""), L"combox");
  language.LoadSection(L"NoSuchWindow");
  EXPECT_EQ(language.LoadedSections(), L"NDG_M|SoftCombox_M|Combox_M|NoSuchWindow_M");
}

TEST_F(LanguageFiles, WithoutAnyFileEveryTextIsItsDefault) {
  InMemoryFileSystem empty;
  TLanguage language(empty, L"NDG", kFolder);
  language.LoadLanguage(L"English");
  language.LoadSection(L"SoftCombox");
  EXPECT_FALSE(language.IsLoaded());
  EXPECT_EQ(language.GetText(L"Btn_Update", L"Update Now"), L"Update Now");
  EXPECT_EQ(language.LoadedSections(), L"");
}

TEST_F(LanguageFiles, PublicStringsFillTheSharedCaptions) {
  TLanguage language(files, L"NDG", kFolder);
  language.LoadLanguage(L"English");
  language.LoadPublicStrings();
  EXPECT_EQ(Captions().close, L"Close it");
  EXPECT_EQ(Captions().cancel, L"Cancel");
  SetLanguage(&language);
  EXPECT_EQ(GetText(L"Shared", L"x"), L"from NDG");
  SetLanguage(nullptr);
  EXPECT_EQ(GetText(L"Shared", L"x"), L"x");
  Captions() = PublicCaptions{};
}

TEST(LanguageName, ComesFromMainIni) {
  InMemoryFileSystem files;
  TExtIniFile ini(files);
  EXPECT_EQ(GetLanguageName(ini), L"English");
  ini.LoadFromLines({L"[Main]", L"Language=German"});
  EXPECT_EQ(GetLanguageName(ini), L"German");
}

// Every shipped translation carries exactly the keys of the English file.
TEST(ShippedLanguages, TranslateEveryKey) {
  InMemoryFileSystem files;
  auto load = [&](const char* name) {
    std::ifstream in(std::string(NUDGELET_SOURCE_DIR) + "/resources/Language/" + name + ".lng.txt", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return IniSections::Parse(
        DecodeTextFileLines(bytes, [&files](std::string_view b) { return files.DecodeSystemCodePage(b); }).lines);
  };
  const IniSections english = load("English");
  for (const char* name : {"German", "SimplifiedChinese"}) {
    const IniSections translation = load(name);
    EXPECT_EQ(translation.SectionNames(), english.SectionNames()) << name;
    for (const auto& section : english.SectionNames()) {
      EXPECT_EQ(translation.KeyNames(section), english.KeyNames(section)) << name << " [" << WideToUtf8(section) << "]";
      for (const auto& key : translation.KeyNames(section)) {
        EXPECT_FALSE(translation.Value(section, key)->empty()) << name << " " << WideToUtf8(key);
      }
    }
    // The count message keeps its link and its number.
    EXPECT_NE(translation.Value(L"SoftCombox_M", L"NeedUpdates")->find(L"<a>%d</a>"), std::wstring::npos) << name;
    EXPECT_NE(translation.Value(L"SoftCombox_M", L"NeedUpdate")->find(L"<a>1</a>"), std::wstring::npos) << name;
  }
}

}  // namespace
}  // namespace nudgelet::app
