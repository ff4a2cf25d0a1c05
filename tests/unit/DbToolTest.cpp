// nudgelet-db's commands on real files.
#include <gtest/gtest.h>

#include <sstream>

#include "DbTool.h"
#include "detection/SQLiteDatabase.h"
#include "detection/SQLiteTable.h"
#include "support/RealSystem.h"
#include "support/ScratchFolder.h"

namespace nudgelet::tools {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class DbTool : public ::testing::Test {
 protected:
  int Run(std::vector<std::wstring> args) {
    errors_.str({});
    return RunDbTool(args, services_, errors_);
  }
  std::wstring File(const std::wstring& name) { return folder_.File(name); }

  testing::ScratchFolder folder_;
  DbToolServices services_{testing::RealFiles(), testing::RealLibraries(), platform::SystemCrypto(),
                           testing::SqliteLibrary()};
  std::ostringstream errors_;
};

TEST_F(DbTool, BuildsDeciphersAndEnciphersExactly) {
  WriteFileBytes(File(L"db.sql"),
                 "\xEF\xBB\xBF"
                 "CREATE TABLE SoftBase(Key varchar(50), DisplayName varchar(200));\n"
                 "INSERT INTO SoftBase VALUES('{K}', 'Caf\xC3\xA9');\n");
  ASSERT_EQ(Run({L"build", File(L"db.sql"), File(L"db.dbd")}), 0) << errors_.str();
  EXPECT_FALSE(testing::RealFiles().Exists(File(L"db.dbd.build.sqlite")));
  const auto stored = ReadFileBytes(File(L"db.dbd"));
  ASSERT_GT(stored.size(), 78u);
  EXPECT_EQ(std::string(stored.begin() + 76, stored.begin() + 78), "\r\n");

  ASSERT_EQ(Run({L"decipher", File(L"db.dbd"), File(L"db.sqlite")}), 0) << errors_.str();
  {
    detection::TSQLiteLibrary sqlite;
    sqlite.SetLibraryPath(services_.sqliteLibrary);
    sqlite.BindLibrary(services_.files, services_.libraries);
    detection::TSQLiteDatabase db(sqlite, File(L"db.sqlite"), L"db.sqlite");
    EXPECT_EQ(db.QueryTable("SELECT DisplayName FROM SoftBase")->ReadText(0), L"Caf\u00E9");
  }
  ASSERT_EQ(Run({L"encipher", File(L"db.sqlite"), File(L"again.dbd")}), 0) << errors_.str();
  EXPECT_EQ(ReadFileBytes(File(L"again.dbd")), stored);
}

TEST_F(DbTool, BadInputIsOneLineAndExitCode2) {
  WriteFileBytes(File(L"bad.sql"), "CREATE TABLE t(a);\nCREATE TABL u(b);\n");
  // 64 Base64 characters: three whole cipher blocks of nonsense.
  WriteFileBytes(File(L"text.txt"), "NotSQLiteNotSQLiteNotSQLiteNotSQLiteNotSQLiteNotSQLiteNotSQLite1");
  WriteFileBytes(File(L"short.dbd"), "QUJD");
  const std::vector<std::pair<std::vector<std::wstring>, std::string>> cases{
      {{}, "usage: "},
      {{L"build", File(L"bad.sql")}, "usage: "},
      {{L"shrink", File(L"a"), File(L"b")}, "usage: "},
      {{L"build", File(L"missing.sql"), File(L"x.dbd")}, "cannot read"},
      {{L"build", File(L"bad.sql"), File(L"x.dbd")}, "near \"TABL\": syntax error"},
      {{L"encipher", File(L"text.txt"), File(L"x.dbd")}, "not a SQLite database"},
      {{L"decipher", File(L"short.dbd"), File(L"x.sqlite")}, "whole 16-byte cipher blocks"},
      {{L"decipher", File(L"text.txt"), File(L"x.sqlite")}, "does not decipher to a SQLite database"},
  };
  for (const auto& [args, expected] : cases) {
    EXPECT_EQ(Run(args), kExitBadInput) << expected;
    const std::string text = errors_.str();
    EXPECT_EQ(text.rfind("nudgelet-db: ", 0), 0u) << text;
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos) << text;
  }
  EXPECT_FALSE(testing::RealFiles().Exists(File(L"x.dbd")));
  EXPECT_FALSE(testing::RealFiles().Exists(File(L"x.sqlite")));
}

}  // namespace
}  // namespace nudgelet::tools
