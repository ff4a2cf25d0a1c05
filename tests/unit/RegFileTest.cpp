#include "platform/RegFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Strings.h"
#include "support/FakePlatform.h"

namespace nudgelet::platform {
namespace {

using ::testing::HasSubstr;
using testing::Utf16LeWithBom;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::unique_ptr<RegistryKey> Open(const InMemoryRegistry& reg, const wchar_t* path,
                                  RegistryView view = RegistryView::Default) {
  return reg.OpenReadOnly(RegistryRoot::LocalMachine, path, view);
}

// What regedit writes for a key with every kind of value, wrapped hex lines included.
const wchar_t* const kVersion5 =
    L"Windows Registry Editor Version 5.00\r\n"
    L"\r\n"
    L"; exported for the tests\r\n"
    L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vessa \u00dcbersetzer]\r\n"
    L"\"DisplayName\"=\"Vessa \\\"Quoted\\\" \u4e2d\u6587\"\r\n"
    L"\"InstallLocation\"=\"C:\\\\Program Files\\\\Vessa\\\\\"\r\n"
    L"@=\"default\"\r\n"
    L"\"EstimatedSize\"=dword:00001a2b\r\n"
    L"\"Blob\"=hex:de,ad,be,ef\r\n"
    L"\"Expand\"=hex(2):25,00,50,00,46,00,25,00,00,00\r\n"
    L"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    L"\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    L"\"Wrapped\"=hex:01,02,03,\\\r\n"
    L"  04,05\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Old32]\r\n"
    L"\"DisplayName\"=\"Old 32-bit\"\r\n";

TEST(RegFile, ReadsEveryValueTypeOfAVersion5File) {
  InMemoryRegistry reg;
  LoadRegFile(reg, Utf16LeWithBom(kVersion5));
  auto key = Open(reg, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vessa \u00dcbersetzer");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadText(L"DisplayName"), L"Vessa \"Quoted\" \u4e2d\u6587");
  EXPECT_EQ(key->ReadText(L"InstallLocation"), L"C:\\Program Files\\Vessa\\");
  EXPECT_EQ(key->ReadText(L""), L"default");
  EXPECT_EQ(key->ReadDword(L"EstimatedSize"), 0x1a2bu);
  EXPECT_EQ(key->ReadValue(L"Blob")->data, (std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}));
  EXPECT_EQ(key->ReadValue(L"Expand")->type, RegistryValueType::ExpandString);
  EXPECT_EQ(key->ReadText(L"Expand"), L"%PF%");
  EXPECT_EQ(key->ReadText(L"Multi"), L"a\r\nb");
  EXPECT_EQ(key->ReadValue(L"Big")->type, RegistryValueType::Qword);
  EXPECT_EQ(key->ReadText(L"Big"), L"1");
  EXPECT_EQ(key->ReadValue(L"Wrapped")->data, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

TEST(RegFile, WowNodeKeysFormTheThirtyTwoBitView) {
  InMemoryRegistry reg;
  LoadRegFile(reg, Utf16LeWithBom(kVersion5));
  const wchar_t* path = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Old32";
  ASSERT_TRUE(Open(reg, path, RegistryView::Bits32));
  EXPECT_EQ(Open(reg, path, RegistryView::Bits32)->ReadText(L"DisplayName"), L"Old 32-bit");
  EXPECT_FALSE(Open(reg, path, RegistryView::Bits64));
  auto uninstall32 = Open(reg, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", RegistryView::Bits32);
  EXPECT_EQ(uninstall32->SubKeyNames(), std::vector<std::wstring>{L"Old32"});
}

TEST(RegFile, Utf8Version5FileReadsTheSame) {
  InMemoryRegistry reg;
  LoadRegFile(reg, Bytes("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
                         "[HKEY_CURRENT_USER\\Software\\T]\n\"Name\"=\"Gr\xC3\xBC\xC3\x9F\x65\"\n"));
  EXPECT_EQ(reg.OpenReadOnly(RegistryRoot::CurrentUser, L"Software\\T", RegistryView::Default)->ReadText(L"Name"),
            L"Gr\u00fc\u00dfe");
}

TEST(RegFile, Regedit4TextDataIsOneByteACharacter) {
  InMemoryRegistry reg;
  LoadRegFile(reg, Bytes("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
                         "\"Path\"=hex(2):25,57,49,4e,44,49,52,25,00\r\n"
                         "\"List\"=hex(7):61,00,62,00,00\r\n"
                         "\"Count\"=dword:0000000a\r\n"));
  auto key = Open(reg, L"SOFTWARE\\Old");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadText(L"Path"), L"%WINDIR%");
  EXPECT_EQ(key->ReadValue(L"Path")->data.size(), 18u);  // stored as UTF-16 with its NUL
  EXPECT_EQ(key->ReadText(L"List"), L"a\r\nb");
  EXPECT_EQ(key->ReadDword(L"Count"), 10u);
}

TEST(RegFile, DeletionsRemoveKeysAndValues) {
  InMemoryRegistry reg;
  LoadRegFile(reg, Bytes("Windows Registry Editor Version 5.00\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B]\n\"keep\"=\"1\"\n\"drop\"=\"2\"\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\C]\n\"x\"=\"1\"\n"));
  LoadRegFile(reg, Bytes("Windows Registry Editor Version 5.00\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B]\n\"drop\"=-\n"
                         "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\C]\n"));
  auto key = Open(reg, L"SOFTWARE\\A\\B");
  EXPECT_EQ(key->ReadText(L"keep"), L"1");
  EXPECT_FALSE(key->ReadText(L"drop"));
  EXPECT_FALSE(Open(reg, L"SOFTWARE\\C"));
}

TEST(RegFile, ErrorsNameTheLineAndTheProblem) {
  const struct {
    const char* text;
    int line;
    const char* message;
  } cases[] = {{"", 1, "empty file"},
               {"Windows Registry Editor Version 4.00\n", 1, "not a registry file"},
               {"REGEDIT4\n\"a\"=\"b\"\n", 2, "value outside of a key"},
               {"REGEDIT4\n[HKEY_NOWHERE\\x]\n", 2, "unknown root key \"HKEY_NOWHERE\""},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x\n", 2, "does not end with ']'"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\n\"a\"=\"open\n", 4, "not closed"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\" \"b\"\n", 3, "expected '='"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:123456789\n", 3, "1 to 8"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:xyz\n", 3, "hexadecimal digit"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex:01;02\n", 3, "separated by ','"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex(zz):01\n", 3, "type number"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex:01,\\\n  02,g0\n", 3, "hexadecimal digit"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\" trailing\n", 3, "after the closing"},
               {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=word:1\n", 3, "unknown value data"},
               {"REGEDIT4\nstray text\n", 2, "expected a [key]"}};
  for (const auto& c : cases) {
    InMemoryRegistry reg;
    try {
      LoadRegFile(reg, Bytes(c.text), "fixture.reg");
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const RegFileError& e) {
      EXPECT_EQ(e.Line(), c.line) << c.message;
      EXPECT_THAT(e.what(), HasSubstr("fixture.reg:" + std::to_string(c.line) + ": "));
      EXPECT_THAT(e.what(), HasSubstr(c.message));
    }
  }
}

TEST(RegFile, MissingFileIsAnError) {
  InMemoryRegistry reg;
  EXPECT_THROW(LoadRegFile(reg, std::filesystem::path("/nonexistent/dir/x.reg")), RegFileError);
}

}  // namespace
}  // namespace nudgelet::platform
