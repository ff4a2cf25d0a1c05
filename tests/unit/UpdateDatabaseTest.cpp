// The update database end to end on real files: enciphered by the tool's code,
// deciphered into the temporary folder, opened through the bound SQLite library.
#include <gtest/gtest.h>

#include "DbTool.h"
#include "detection/Base64.h"
#include "detection/DatabaseCipher.h"
#include "detection/SQLiteErrors.h"
#include "detection/SQLiteTable.h"
#include "detection/UpdateDatabase.h"
#include "support/FakePlatform.h"
#include "support/RealSystem.h"
#include "support/ScratchFolder.h"

namespace nudgelet::detection {
namespace {

using platform::SystemCrypto;
using testing::RealFiles;
using testing::RealLibraries;

const char kProducts[] = R"sql(
CREATE TABLE SoftBase(Key varchar(50), DisplayName varchar(200), Publisher varchar(200), SoftName varchar(100),
                      MainExeName varchar(200), VerCompareNum varchar(4), PreciseMainKey varchar(4),
                      MainRegKey varchar(200), ICON text);
INSERT INTO SoftBase VALUES('{NPP}', 'Notepad++', 'Notepad++ Team', 'Notepad++', 'notepad++.exe', '3', '0', '', '0000');
INSERT INTO SoftBase VALUES('{CHR-A}', 'Chrome', 'Google LLC', 'Google Chrome ALL User', 'chrome.exe', '', '', '', '');
INSERT INTO SoftBase VALUES('{CHR-C}', 'Chrome', 'Google LLC', 'Google Chrome Current User', 'chrome.exe', '', '', '', '');
INSERT INTO SoftBase VALUES('{FOO}', 'Foo', 'Acme', 'Foo', 'foo.exe', '', '', '', '');
INSERT INTO SoftBase VALUES('{FOO-PRO}', 'Foo Pro', 'Acme', 'Foo Pro', 'pro\foo.exe|foo.exe', '2', '', '', '');
INSERT INTO SoftBase VALUES('{TOM}', 'Tom''s Editor', 'O''Brien Software', 'Tom', '', '', '', '', '');
CREATE TABLE SoftDownInfo(Key varchar(50), LanID INTEGER, bit INTEGER, Version varchar(50), OsType INTEGER,
                          OutURL varchar(200));
INSERT INTO SoftDownInfo VALUES('{NPP}', 1, 0, '8.6.2', 63, 'https://example.invalid/npp32.exe');
INSERT INTO SoftDownInfo VALUES('{NPP}', 1, 1, '8.6.3', 62, 'https://example.invalid/npp64.exe');
INSERT INTO SoftDownInfo VALUES('{NPP}', 2, 1, '9.0', 1, '');
)sql";

class UpdateDatabase : public ::testing::Test {
 protected:
  UpdateDatabase()
      : services_{RealFiles(), RealLibraries(), SystemCrypto(), testing::SqliteLibrary()},
        temp_(folder_.Path() + L"temp" + folder_.Path().back()),
        dbd_(folder_.File(L"VessaUpdate.dbd")),
        copy_(temp_ + L"VessaUpdate.dbd") {
    RealFiles().CreateFolders(temp_);
  }

  UpdateDatabaseSetup DatabaseSetup(std::wstring sqliteLibrary = testing::SqliteLibrary()) {
    return UpdateDatabaseSetup{RealFiles(), RealLibraries(), SystemCrypto(), std::move(sqliteLibrary), temp_};
  }
  void Build(const std::string& sql) { tools::BuildDatabaseFromSql(services_, sql, dbd_); }
  static std::string Enciphered(const std::vector<std::uint8_t>& plain) {
    return *EncipherDatabaseBytes(SystemCrypto(), *DatabaseKey(kDatabasePassword, 128), plain);
  }
  // The message of the open's failure, which must be an E.
  template <typename E>
  std::wstring OpenFailure(TUpdateDatabase& db) {
    try {
      db.AcquireDatabase(dbd_);
    } catch (const E& e) {
      return e.Message();
    }
    return L"(opened)";
  }

  testing::ScratchFolder folder_;
  tools::DbToolServices services_;
  std::wstring temp_;
  std::wstring dbd_;
  std::wstring copy_;
};

class UpdateDatabaseQueries : public UpdateDatabase {
 protected:
  void SetUp() override {
    Build(kProducts);
    db_.AcquireDatabase(dbd_);
  }
  void TearDown() override { db_.ReleaseDatabase(); }

  TUpdateDatabase db_{DatabaseSetup()};
};

TEST_F(UpdateDatabaseQueries, KeySearchIsCaseSensitiveForTheNameButNotForThePublisher) {
  // The database's name must occur in the installed name, exactly as written...
  EXPECT_EQ(db_.FindKey(L"Notepad++ (64-bit x64)", L"Notepad++ Team"), L"{NPP}");
  EXPECT_EQ(db_.FindKey(L"notepad++ (64-bit x64)", L"Notepad++ Team"), L"");
  EXPECT_EQ(db_.FindKey(L"Notepad", L"Notepad++ Team"), L"");
  // ...while the installed publisher is a pattern inside the database's one.
  EXPECT_EQ(db_.FindKey(L"Notepad++", L"notepad++"), L"{NPP}");
  EXPECT_EQ(db_.FindKey(L"Notepad++", L"team"), L"{NPP}");
  EXPECT_EQ(db_.FindKey(L"Notepad++", L"Notepad++ Team Ltd"), L"");
}

TEST_F(UpdateDatabaseQueries, SeveralCandidatesAreDecidedByTheNameThatBeginsLikeTheInstalledOne) {
  // "Foo" and "Foo Pro" both occur in "Foo Pro"; only "Foo Pro" is like "Foo Pro%".
  EXPECT_EQ(db_.FindKey(L"Foo Pro", L"Acme"), L"{FOO-PRO}");
  EXPECT_EQ(db_.FindKey(L"Foo", L"Acme"), L"{FOO}");
  // Both occur, none begins with the installed name: no key.
  EXPECT_EQ(db_.FindKey(L"Foo Pro 2", L"Acme"), L"");
  // Both Chrome rows match twice over.
  EXPECT_EQ(db_.FindKey(L"Chrome", L"Google"), L"");
  EXPECT_EQ(db_.FindKeyBySoftName(L"Google Chrome (All User)", L"Google", L"ALL User"), L"{CHR-A}");
  EXPECT_EQ(db_.FindKeyBySoftName(L"Google Chrome (Current User)", L"Google", L"Current User"), L"{CHR-C}");
  EXPECT_EQ(db_.FindKeyBySoftName(L"Google Chrome", L"Google", L"User"), L"");
}

TEST_F(UpdateDatabaseQueries, ApostrophesStayInsideTheLiterals) {
  EXPECT_EQ(db_.FindKey(L"Tom's Editor 3", L"O'Brien"), L"{TOM}");
  EXPECT_EQ(db_.GetBaseField(L"{TOM}", L"Publisher"), L"O'Brien Software");
  EXPECT_EQ(db_.FindKey(L"x') OR 1=1 OR ('", L"Acme"), L"");
  EXPECT_EQ(db_.GetBaseField(L"' OR ''='", L"Key"), L"");
}

TEST_F(UpdateDatabaseQueries, FieldsComeFromTheFirstMatchingRowAsText) {
  EXPECT_EQ(db_.GetBaseField(L"{FOO-PRO}", L"MainExeName"), L"pro\\foo.exe|foo.exe");
  EXPECT_EQ(db_.GetBaseField(L"{FOO-PRO}", L"VerCompareNum"), L"2");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 0, 1, L"Version"), L"8.6.2");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 1, 1, L"Version"), L"8.6.3");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 1, 1, L"OsType"), L"62");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 1, 2, L"Version"), L"9.0");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 0, 2, L"Version"), L"");
  EXPECT_EQ(db_.GetBaseField(L"{NONE}", L"MainExeName"), L"");
  // A column or table the database lacks is no answer, not an error.
  EXPECT_EQ(db_.GetBaseField(L"{NPP}", L"NoSuchColumn"), L"");
  EXPECT_EQ(db_.GetDownField(L"{NPP}", 0, 1, L"InURL"), L"");
}

TEST_F(UpdateDatabase, MissingTablesAnswerNothing) {
  Build(
      "CREATE TABLE SoftBase(Key varchar(50), DisplayName varchar(200));"
      "INSERT INTO SoftBase VALUES('{K}', 'Prog');");
  TUpdateDatabase db(DatabaseSetup());
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.FindKey(L"Prog", L"x"), L"");  // no Publisher column
  EXPECT_EQ(db.GetBaseField(L"{K}", L"DisplayName"), L"Prog");
  EXPECT_EQ(db.GetDownField(L"{K}", 0, 1, L"Version"), L"");
  EXPECT_EQ(db.ReadFailure(), L"");  // readable, merely incomplete
  db.ReleaseDatabase();
}

TEST_F(UpdateDatabase, UseCountKeepsTheDatabaseOpenUntilTheLastRelease) {
  Build(kProducts);
  TUpdateDatabase db(DatabaseSetup());
  EXPECT_EQ(db.GetBaseField(L"{NPP}", L"Key"), L"");
  db.AcquireDatabase(dbd_);
  db.AcquireDatabase(L"ignored once open");
  EXPECT_EQ(db.UseCount(), 2);
  db.ReleaseDatabase();
  EXPECT_EQ(db.GetBaseField(L"{NPP}", L"Key"), L"{NPP}");
  db.ReleaseDatabase();
  EXPECT_EQ(db.GetBaseField(L"{NPP}", L"Key"), L"");
  db.ReleaseDatabase();
  EXPECT_EQ(db.UseCount(), 0);
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.UseCount(), 1);
  db.ReleaseDatabase();
}

TEST_F(UpdateDatabase, TheCopyInTheTemporaryFolderIsTheSqliteFileExactly) {
  TSQLiteLibrary sqlite;
  sqlite.SetLibraryPath(testing::SqliteLibrary());
  sqlite.BindLibrary(RealFiles(), RealLibraries());
  const std::wstring original = folder_.File(L"original.sqlite");
  {
    TSQLiteDatabase made(sqlite, original, original);
    made.ExecuteScript(kProducts);
  }
  tools::EncipherFile(services_, original, dbd_);
  testing::WriteFileBytes(copy_, "an earlier run's copy");
  TUpdateDatabase db(DatabaseSetup());
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(testing::ReadFileBytes(copy_), testing::ReadFileBytes(original));
  EXPECT_EQ(db.GetDownField(L"{NPP}", 1, 1, L"OutURL"), L"https://example.invalid/npp64.exe");
  db.ReleaseDatabase();
  // Left in place for the next run to replace.
  EXPECT_TRUE(RealFiles().FileExists(copy_));
}

TEST_F(UpdateDatabase, AMissingFileIsCreatedNeitherByProbeNorByOpen) {
  TUpdateDatabase db(DatabaseSetup());
  EXPECT_TRUE(db.ProbeDatabase(dbd_));
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.FindKey(L"Notepad++", L"Notepad++ Team"), L"");
  db.ReleaseDatabase();
  EXPECT_FALSE(RealFiles().Exists(dbd_));
  EXPECT_FALSE(RealFiles().Exists(copy_));
  Build(kProducts);
  EXPECT_TRUE(db.ProbeDatabase(dbd_));
}

TEST_F(UpdateDatabase, WithoutSqliteNothingOpens) {
  Build(kProducts);
  TSQLiteLibrary none;
  TUpdateDatabase db(DatabaseSetup(folder_.File(L"sqlite3.dll")), none);
  EXPECT_FALSE(db.ProbeDatabase(dbd_));
  EXPECT_EQ(none.BoundCount(), 0u);
  EXPECT_EQ(OpenFailure<ESQLiteException>(db), L"Failed to open database \"" + dbd_ + L"\" : unknown error");
  EXPECT_EQ(db.UseCount(), 0);
  EXPECT_EQ(db.FindKey(L"Notepad++", L"Notepad++ Team"), L"");
}

TEST_F(UpdateDatabase, ACipherProviderFailureIsACantDecryptOpenFailure) {
  struct FailingCrypto final : platform::Crypto {
    platform::Md5Digest Md5(const std::uint8_t*, std::size_t) const override { return {}; }
    std::optional<std::vector<std::uint8_t>> AesEcbDecrypt(const std::vector<std::uint8_t>&, const std::uint8_t*,
                                                           std::size_t) const override {
      return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> AesEcbEncrypt(const std::vector<std::uint8_t>&, const std::uint8_t*,
                                                           std::size_t) const override {
      return std::nullopt;
    }
  } crypto;
  Build(kProducts);
  TUpdateDatabase db(UpdateDatabaseSetup{RealFiles(), RealLibraries(), crypto, testing::SqliteLibrary(), temp_});
  EXPECT_EQ(OpenFailure<ESQLiteException>(db), L"Failed to open database,Cant Decrypt Database.");
  EXPECT_FALSE(RealFiles().Exists(copy_));
}

TEST_F(UpdateDatabase, AWrongSizeIsRefusedAndLeavesNoCopy) {
  testing::WriteFileBytes(copy_, "an earlier run's copy");
  const std::vector<std::uint8_t> hundred(100, 7);
  testing::WriteFileBytes(dbd_, EncodeBase64(hundred.data(), hundred.size()));
  TUpdateDatabase db(DatabaseSetup());
  EXPECT_EQ(OpenFailure<EAESError>(db), aes_text::kSizeMismatch);
  EXPECT_EQ(db.UseCount(), 0);
  EXPECT_FALSE(RealFiles().Exists(copy_));
}

TEST_F(UpdateDatabase, HostileFilesGiveEmptyAnswers) {
  std::vector<std::uint8_t> noise(8192);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 131 + (i >> 7));
  std::vector<std::uint8_t> truncated(std::begin("SQLite format 3"), std::end("SQLite format 3"));
  truncated.resize(512, 0xFF);
  // The answers alone cannot tell these files from a database without the
  // product; ReadFailure can. No Base64 at all leaves an empty file, which
  // SQLite reads as an empty database.
  const struct {
    std::string stored;
    const wchar_t* failure;
  } files[] = {{Enciphered(noise), L"file is not a database"},
               {"{ [ ] } ~~ -- !! ?? ## ** <> \r\n", L""},
               {Enciphered(truncated), L"file is not a database"}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.stored.substr(0, 20));
    testing::WriteFileBytes(dbd_, file.stored);
    TUpdateDatabase db(DatabaseSetup());
    db.AcquireDatabase(dbd_);
    EXPECT_EQ(db.FindKey(L"Notepad++", L"Notepad++ Team"), L"");
    EXPECT_EQ(db.FindKeyBySoftName(L"Chrome", L"Google", L"User"), L"");
    EXPECT_EQ(db.GetBaseField(L"{NPP}", L"Key"), L"");
    EXPECT_EQ(db.GetDownField(L"{NPP}", 0, 1, L"Version"), L"");
    EXPECT_EQ(db.ReadFailure(), file.failure);
    db.ReleaseDatabase();
  }
}

TEST_F(UpdateDatabase, EndlessViewsAreCutShort) {
  Build(
      "CREATE VIEW SoftBase AS WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) "
      "SELECT '{K' || i || '}' AS Key, '' AS DisplayName, 'P' AS Publisher, 'S' AS SoftName FROM r;");
  TUpdateDatabase db(DatabaseSetup());
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.FindKey(L"Anything", L"P"), L"");            // rows without end
  EXPECT_EQ(db.GetBaseField(L"{none}", L"SoftName"), L"");  // no row, ever
  db.ReleaseDatabase();
}

TEST(UpdateDatabaseSetup, TakesSqliteFromTheProgramFolderAndTheSystemsTemporaryFolder) {
  testing::FakePlatform p;
  p.folders.temp = L"C:\\Users\\tester\\AppData\\Local\\Temp";
  const UpdateDatabaseSetup setup = UpdateDatabaseSetupFor(*p, SystemCrypto());
  EXPECT_EQ(setup.sqliteLibrary, L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\sqlite3.dll");
  EXPECT_EQ(setup.tempFolder, L"C:\\Users\\tester\\AppData\\Local\\Temp\\");
  EXPECT_EQ(EncipheredDatabasePath(L"C:\\PH\\"), L"C:\\PH\\Database\\VessaUpdate.dbd");
}

}  // namespace
}  // namespace nudgelet::detection
