// The update database end to end on real files: enciphered by the tool's code,
// deciphered into the temporary folder, opened through the bound SQLite library.
#include <gtest/gtest.h>

#include <functional>

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
  void StoreText(const std::string& text) { testing::WriteFileBytes(dbd_, text); }
  void StoreEnciphered(const std::vector<std::uint8_t>& plain) {
    StoreText(*EncipherDatabaseBytes(SystemCrypto(), *DatabaseKey(kDatabasePassword, 128), plain));
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

// A file system on which the copy cannot be deleted, as while another running
// instance holds it open.
class CopyHeldOpen final : public platform::FileSystem {
 public:
  CopyHeldOpen(const platform::FileSystem& real, std::wstring held) : real_(real), held_(std::move(held)) {}
  std::optional<std::uint32_t> Attributes(const std::wstring& p) const override { return real_.Attributes(p); }
  bool SetAttributes(const std::wstring& p, std::uint32_t a) const override { return real_.SetAttributes(p, a); }
  bool CreateFolders(const std::wstring& p) const override { return real_.CreateFolders(p); }
  std::optional<platform::FileStamp> Stamp(const std::wstring& p) const override { return real_.Stamp(p); }
  platform::FileReadResult ReadFile(const std::wstring& p, std::uint64_t m) const override {
    return real_.ReadFile(p, m);
  }
  platform::FileReadResult ReadFilePart(const std::wstring& p, std::uint64_t o, std::size_t c) const override {
    return real_.ReadFilePart(p, o, c);
  }
  std::uint32_t WriteFileAtomically(const std::wstring& p, const std::vector<std::uint8_t>& b) const override {
    return p == held_ ? platform::os_error::kSharingViolation : real_.WriteFileAtomically(p, b);
  }
  std::uint32_t CreateFileIfMissing(const std::wstring& p) const override { return real_.CreateFileIfMissing(p); }
  std::uint32_t RemoveFile(const std::wstring& p) const override {
    return p == held_ ? platform::os_error::kSharingViolation : real_.RemoveFile(p);
  }
  std::unique_ptr<platform::AppendableFile> OpenForAppend(const std::wstring& p) const override {
    return real_.OpenForAppend(p);
  }
  std::optional<platform::FileVersion> FixedFileVersion(const std::wstring& p) const override {
    return real_.FixedFileVersion(p);
  }
  std::vector<platform::FolderEntry> ListFolder(const std::wstring& f) const override { return real_.ListFolder(f); }
  std::wstring DecodeSystemCodePage(std::string_view b) const override { return real_.DecodeSystemCodePage(b); }
  std::string EncodeSystemCodePage(std::wstring_view t) const override { return real_.EncodeSystemCodePage(t); }

 private:
  const platform::FileSystem& real_;
  std::wstring held_;
};

TEST_F(UpdateDatabase, ACopyThatCannotBeDeletedIsUsedAsItIs) {
  Build("CREATE TABLE SoftBase(Key varchar(50)); INSERT INTO SoftBase VALUES('{OLD}');");
  {
    TUpdateDatabase first(DatabaseSetup());
    first.AcquireDatabase(dbd_);
    first.ReleaseDatabase();
  }
  // A newer database arrives, but the old copy is still held open.
  Build("CREATE TABLE SoftBase(Key varchar(50)); INSERT INTO SoftBase VALUES('{NEW}');");
  const CopyHeldOpen files(RealFiles(), copy_);
  TUpdateDatabase db(UpdateDatabaseSetup{files, RealLibraries(), SystemCrypto(), testing::SqliteLibrary(), temp_});
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.GetBaseField(L"{OLD}", L"Key"), L"{OLD}");
  EXPECT_EQ(db.GetBaseField(L"{NEW}", L"Key"), L"");
  db.ReleaseDatabase();
}

TEST_F(UpdateDatabase, ProbeNeverCreatesAMissingDatabase) {
  TUpdateDatabase db(DatabaseSetup());
  EXPECT_TRUE(db.ProbeDatabase(dbd_));
  EXPECT_FALSE(RealFiles().Exists(dbd_));
  Build(kProducts);
  EXPECT_TRUE(db.ProbeDatabase(dbd_));
  // Without SQLite nothing opens.
  TSQLiteLibrary none;
  TUpdateDatabase withoutSqlite(DatabaseSetup(folder_.File(L"sqlite3.dll")), none);
  EXPECT_FALSE(withoutSqlite.ProbeDatabase(dbd_));
  EXPECT_EQ(none.BoundCount(), 0u);
}

TEST_F(UpdateDatabase, WithoutSqliteTheOpenFailsForLackOfAConnection) {
  Build(kProducts);
  TSQLiteLibrary none;
  TUpdateDatabase db(DatabaseSetup(folder_.File(L"sqlite3.dll")), none);
  try {
    db.AcquireDatabase(dbd_);
    FAIL() << "opened without SQLite";
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(e.Message(), L"Failed to open database \"" + dbd_ + L"\" : unknown error");
  }
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
  try {
    db.AcquireDatabase(dbd_);
    FAIL() << "opened without deciphering";
  } catch (const ESQLiteException& e) {
    EXPECT_EQ(e.Message(), L"Failed to open database,Cant Decrypt Database.");
  }
  EXPECT_FALSE(RealFiles().Exists(copy_));
}

TEST_F(UpdateDatabase, AWrongSizeIsRefusedAndLeavesNoCopy) {
  testing::WriteFileBytes(copy_, "an earlier run's copy");
  const std::vector<std::uint8_t> hundred(100, 7);
  StoreText(EncodeBase64(hundred.data(), hundred.size()));
  TUpdateDatabase db(DatabaseSetup());
  try {
    db.AcquireDatabase(dbd_);
    FAIL() << "accepted 100 bytes of ciphertext";
  } catch (const EAESError& e) {
    EXPECT_EQ(e.Message(), aes_text::kSizeMismatch);
  }
  EXPECT_EQ(db.UseCount(), 0);
  EXPECT_FALSE(RealFiles().Exists(copy_));
}

TEST_F(UpdateDatabase, HostileFilesGiveEmptyAnswers) {
  std::vector<std::uint8_t> noise(8192);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 131 + (i >> 7));
  // Deciphers to something that is not SQLite; then no Base64 at all; then a
  // SQLite header on a truncated file.
  std::vector<std::uint8_t> truncated(std::begin("SQLite format 3"), std::end("SQLite format 3"));
  truncated.resize(512, 0xFF);
  const std::vector<std::function<void()>> stores{
      [&] { StoreEnciphered(noise); },
      [&] { StoreText("{ [ ] } ~~ -- !! ?? ## ** <> \r\n"); },
      [&] { StoreEnciphered(truncated); },
  };
  for (std::size_t i = 0; i < stores.size(); ++i) {
    stores[i]();
    TUpdateDatabase db(DatabaseSetup());
    db.AcquireDatabase(dbd_);
    EXPECT_EQ(db.FindKey(L"Notepad++", L"Notepad++ Team"), L"") << i;
    EXPECT_EQ(db.FindKeyBySoftName(L"Chrome", L"Google", L"User"), L"") << i;
    EXPECT_EQ(db.GetBaseField(L"{NPP}", L"Key"), L"") << i;
    EXPECT_EQ(db.GetDownField(L"{NPP}", 0, 1, L"Version"), L"") << i;
    // The answers alone cannot tell these files from a database without the
    // product; ReadFailure can. No Base64 at all leaves an empty file, which
    // SQLite reads as an empty database.
    if (i == 1) {
      EXPECT_EQ(db.ReadFailure(), L"");
    } else {
      EXPECT_EQ(db.ReadFailure(), L"file is not a database") << i;
    }
    db.ReleaseDatabase();
  }
}

TEST_F(UpdateDatabase, EndlessViewsAreCutShort) {
  Build(
      "CREATE VIEW SoftBase AS WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) "
      "SELECT '{K' || i || '}' AS Key, '' AS DisplayName, 'P' AS Publisher, 'S' AS SoftName FROM r;");
  // The program's own bounds, so they are known to end in reasonable time.
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

TEST_F(UpdateDatabase, AMissingFileOpensAnEmptyDatabaseAndCreatesNothing) {
  TUpdateDatabase db(DatabaseSetup());
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.FindKey(L"Notepad++", L"Notepad++ Team"), L"");
  db.ReleaseDatabase();
  EXPECT_FALSE(RealFiles().Exists(dbd_));
  EXPECT_FALSE(RealFiles().Exists(copy_));
}

}  // namespace
}  // namespace nudgelet::detection
