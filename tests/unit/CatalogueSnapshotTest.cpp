// The catalogue's rows kept beside the database copy: the file's own checks,
// and a catalogue that takes the rows from it only while they are the copy's.
#include <gtest/gtest.h>

#include "DbTool.h"
#include "detection/CatalogueSnapshot.h"
#include "detection/UpdateCatalogue.h"
#include "detection/UpdateDatabase.h"
#include "platform/Crypto.h"
#include "support/RealSystem.h"
#include "support/ScratchFolder.h"

namespace nudgelet::detection {
namespace {

using platform::SystemCrypto;
using testing::RealFiles;

CatalogueRows SmallRows() {
  CatalogueRows rows;
  rows.source = {1, 2, 3};
  rows.productTable = {"rowid", {"Key", "DisplayName", "Publisher", "SoftName"}};
  rows.downloadTable = {"_rowid_", {"Key", "LanID", "bit"}};
  const std::string_view text = "{A}Alpha'sAcme";
  rows.text.assign(text.begin(), text.end());
  rows.products = {{1, {0, 3}, {3, 7}, {10, 4}, {}}, {7, {}, {3, 0}, {}, {10, 4}}};
  rows.downloads = {{2, {0, 3}, CatalogueDownload::kLanIdOne | CatalogueDownload::kBitOne}, {3, {}, 0}};
  return rows;
}

TEST(CatalogueSnapshot, RowsComeBackWholeAndAnyDamageIsRefused) {
  const CatalogueRows rows = SmallRows();
  const std::vector<std::uint8_t> bytes = rows.Serialize();
  ASSERT_EQ(CatalogueRows::Parse(bytes), rows);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    auto flipped = bytes;
    flipped[at] ^= 0x10;
    EXPECT_FALSE(CatalogueRows::Parse(flipped)) << "byte " << at;
    EXPECT_FALSE(CatalogueRows::Parse(std::vector(bytes.begin(), bytes.begin() + at))) << "cut " << at;
  }
  // Sealed as the writer seals, a span that leaves the text, or conditions that are none, still fail.
  CatalogueRows outside = rows;
  outside.products[0].publisher = {12, 3};
  EXPECT_FALSE(CatalogueRows::Parse(outside.Serialize()));
  CatalogueRows conditions = rows;
  conditions.downloads[1].conditions = 8;
  EXPECT_FALSE(CatalogueRows::Parse(conditions.Serialize()));
}

const char kProducts[] = R"sql(
CREATE TABLE SoftBase(Key varchar(50), DisplayName varchar(200), Publisher varchar(200), SoftName varchar(100),
                      MainExeName varchar(200));
INSERT INTO SoftBase VALUES('{NPP}', 'Notepad++', 'Notepad++ Team', 'Notepad++', 'notepad++.exe');
INSERT INTO SoftBase VALUES('{TOM}', 'Tom''s Editor', 'O''Brien Software', 'Tom', 'tom.exe');
CREATE TABLE SoftDownInfo(Key varchar(50), LanID INTEGER, bit INTEGER, Version varchar(50));
INSERT INTO SoftDownInfo VALUES('{NPP}', 1, 0, '8.6.2');
INSERT INTO SoftDownInfo VALUES('{TOM}', 1, 0, '2.0');
)sql";

class KeptRows : public ::testing::Test {
 protected:
  KeptRows()
      : temp_(folder_.Path() + L"temp" + folder_.Path().back()),
        dbd_(folder_.File(L"VessaUpdate.dbd")),
        kept_(CatalogueSnapshotPathFor(temp_ + L"VessaUpdate.dbd")) {
    RealFiles().CreateFolders(temp_);
    Build(kProducts);
  }
  void Build(const std::string& sql) {
    tools::BuildDatabaseFromSql({RealFiles(), testing::RealLibraries(), SystemCrypto(), testing::SqliteLibrary()}, sql,
                                dbd_);
  }
  // What a catalogue over a fresh open of the database answers, and where its rows came from.
  struct Answers {
    bool fromSnapshot;
    std::wstring tom, nppVersion;
  };
  Answers Ask(TUpdateDatabase& db) {
    const TUpdateCatalogue catalogue(db, true);
    return {catalogue.RowsFromSnapshot(), catalogue.FindKey(L"Tom's Editor 2", L"O'Brien"),
            catalogue.GetDownField(L"{NPP}", 0, 1, L"Version")};
  }

  testing::ScratchFolder folder_;
  std::wstring temp_, dbd_, kept_;
  TUpdateDatabase db_{
      UpdateDatabaseSetup{RealFiles(), testing::RealLibraries(), SystemCrypto(), testing::SqliteLibrary(), temp_}};
};

TEST_F(KeptRows, AreTakenWhileTheCopyStaysAndReadAgainForANewCopy) {
  db_.AcquireDatabase(dbd_);
  const Answers read = Ask(db_);
  EXPECT_FALSE(read.fromSnapshot);
  EXPECT_EQ(read.tom, L"{TOM}");
  EXPECT_EQ(read.nppVersion, L"8.6.2");
  ASSERT_TRUE(RealFiles().FileExists(kept_));
  const Answers again = Ask(db_);
  EXPECT_TRUE(again.fromSnapshot);
  EXPECT_EQ(again.tom, read.tom);
  EXPECT_EQ(again.nppVersion, read.nppVersion);
  db_.ReleaseDatabase();

  // A new database makes a new copy, and the rows kept of the old one go with it.
  Build(
      "CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text);"
      "INSERT INTO SoftBase VALUES('{TOM2}', 'Tom''s Editor', 'O''Brien');"
      "CREATE TABLE SoftDownInfo(Key text, LanID int, bit int, Version text);");
  db_.AcquireDatabase(dbd_);
  const Answers renewed = Ask(db_);
  EXPECT_FALSE(renewed.fromSnapshot);
  EXPECT_EQ(renewed.tom, L"{TOM2}");
  EXPECT_EQ(renewed.nppVersion, L"");
  db_.ReleaseDatabase();
}

TEST_F(KeptRows, ThatAreNotTheCopysOrDescribeItOtherwiseAreReadPast) {
  db_.AcquireDatabase(dbd_);
  Ask(db_);
  const auto original = CatalogueRows::Parse(RealFiles().ReadFile(kept_, 1 << 20).bytes);
  ASSERT_TRUE(original);
  const auto plant = [&](const CatalogueRows& rows) {
    ASSERT_EQ(RealFiles().WriteFileAtomically(kept_, rows.Serialize()), 0u);
  };
  // Rows of another copy; a rowid's name that would go into statements as SQL;
  // a table without a column the questions need; a damaged file.
  CatalogueRows other = *original;
  other.source.back() ^= 1;
  CatalogueRows injected = *original;
  injected.productTable.rowid = "1=1 OR rowid";
  CatalogueRows missing = *original;
  missing.downloadTable.columns = {"Key", "bit"};
  for (const CatalogueRows* planted : {&other, &injected, &missing}) {
    plant(*planted);
    const Answers answers = Ask(db_);
    EXPECT_FALSE(answers.fromSnapshot);
    EXPECT_EQ(answers.tom, L"{TOM}");
    EXPECT_EQ(answers.nppVersion, L"8.6.2");
    // Read past and then written anew.
    EXPECT_EQ(CatalogueRows::Parse(RealFiles().ReadFile(kept_, 1 << 20).bytes), original);
  }
  testing::WriteFileBytes(kept_, "damaged");
  EXPECT_FALSE(Ask(db_).fromSnapshot);
  EXPECT_TRUE(Ask(db_).fromSnapshot);
  db_.ReleaseDatabase();
}

}  // namespace
}  // namespace nudgelet::detection
