// The SQLite layer against the real library: bound at run time natively
// (libsqlite3.so.0) and under Wine (sqlite3.dll beside the test program).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "base/Strings.h"
#include "detection/SQLiteDatabase.h"
#include "detection/SQLiteErrors.h"
#include "detection/SQLiteLibrary.h"
#include "detection/SQLiteTable.h"
#include "support/RealSystem.h"
#include "support/ScratchFolder.h"

namespace nudgelet::detection {
namespace {

using testing::RealFiles;
using testing::RealLibraries;

// The message of the ESQLiteException that fn raises.
template <typename Fn>
std::wstring Raised(Fn fn) {
  try {
    fn();
  } catch (const ESQLiteException& e) {
    return e.Message();
  }
  return L"(nothing raised)";
}

class SqliteLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    sqlite_.SetLibraryPath(testing::SqliteLibrary());
    sqlite_.BindLibrary(RealFiles(), RealLibraries());
    for (const char* name : kSqliteFunctionNames) ASSERT_TRUE(sqlite_.IsBound(name)) << name;
    ASSERT_TRUE(sqlite_.IsBound("sqlite3_open_v2"));
    ASSERT_FALSE(sqlite_.IsBound("sqlite3_no_such_function"));
    db_ = std::make_unique<TSQLiteDatabase>(sqlite_, folder_.File(L"layer.sqlite"), L"layer.sqlite");
  }

  std::unique_ptr<TSQLiteTable> Query(const std::string& sql, const std::vector<SqlValue>& values = {}) {
    return db_->QueryTable(sql, values);
  }

  testing::ScratchFolder folder_;
  TSQLiteLibrary sqlite_;
  std::unique_ptr<TSQLiteDatabase> db_;
};

TEST(SqliteBinding, WithoutTheLibraryEveryWrapperAnswersItsFixedValue) {
  testing::ScratchFolder folder;
  TSQLiteLibrary sqlite;
  // A missing file, then a file that is no library.
  sqlite.SetLibraryPath(folder.File(L"sqlite3.dll"));
  sqlite.BindLibrary(RealFiles(), RealLibraries());
  testing::WriteFileBytes(folder.File(L"fake.dll"), "not a library");
  sqlite.SetLibraryPath(folder.File(L"fake.dll"));
  sqlite.BindLibrary(RealFiles(), RealLibraries());
  EXPECT_EQ(sqlite.BoundCount(), 0u);

  sqlite::Connection* db = nullptr;
  sqlite::Statement* st = nullptr;
  EXPECT_EQ(sqlite.Open("x", &db), 999);
  EXPECT_EQ(db, nullptr);
  EXPECT_THAT(
      (std::vector<int>{sqlite.OpenReadOnly("x", &db), sqlite.Close(db), sqlite.ErrCode(db),
                        sqlite.PrepareV2(db, "SELECT 1", -1, &st, nullptr), sqlite.Finalize(st), sqlite.Reset(st),
                        sqlite.BindBlob(st, 1, "", 0, nullptr), sqlite.BindText(st, 1, "", 0, nullptr),
                        sqlite.BindDouble(st, 1, 1), sqlite.BindInt(st, 1, 1), sqlite.BindInt64(st, 1, 1),
                        sqlite.BindNull(st, 1), sqlite.BindParameterIndex(st, ":a")}),
      ::testing::Each(999));
  EXPECT_THAT((std::vector<std::int64_t>{sqlite.ColumnCount(st), sqlite.Step(st), sqlite.ColumnBytes(st, 0),
                                         sqlite.ColumnType(st, 0), sqlite.ColumnInt64(st, 0)}),
              ::testing::Each(-1));
  EXPECT_EQ(sqlite.ColumnDouble(st, 0), -1.0);
  EXPECT_THAT((std::vector<const void*>{sqlite.ErrMsg(db), sqlite.ColumnBlob(st, 0), sqlite.ColumnText(st, 0),
                                        sqlite.ColumnName(st, 0), sqlite.ColumnDeclType(st, 0)}),
              ::testing::Each(nullptr));
  sqlite.Free(nullptr);

  EXPECT_EQ(Raised([&] { TSQLiteDatabase d(sqlite, folder.File(L"db.sqlite"), L"C:\\db.dbd"); }),
            L"Failed to open database \"C:\\db.dbd\" : unknown error");
}

TEST_F(SqliteLayer, OpenFailureCarriesSqlitesMessage) {
  EXPECT_EQ(Raised([&] { TSQLiteDatabase d(sqlite_, folder_.File(L"no folder/x.sqlite"), L"shown.dbd"); }),
            L"Failed to open database \"shown.dbd\" : unable to open database file");
}

TEST_F(SqliteLayer, TypesFollowTheDeclarations) {
  db_->ExecuteScript(
      "CREATE TABLE t(i INTEGER, b boolean, n NUMERIC, f FLOAT, d DOUBLE, r REAL, bl BLOB, v varchar(50), u);"
      "INSERT INTO t VALUES(42, 1, 2.5, 1e20, -0.125, 0.1, x'414243', 'caf\xC3\xA9', 7);"
      "INSERT INTO t VALUES(NULL, NULL, 3, 0.00001, 1e-6, 100, x'', 12, 'text');");
  auto t = Query("SELECT * FROM t");
  ASSERT_EQ(t->RowCount(), 2);
  EXPECT_THAT(t->ColumnNames(), ::testing::ElementsAre(L"I", L"B", L"N", L"F", L"D", L"R", L"BL", L"V", L"U"));
  const std::vector<int> types{1, 1, 2, 2, 2, 2, 4, 3, 1};
  for (int c = 0; c < t->ColumnCount(); ++c) EXPECT_EQ(t->ColumnType(c), types[static_cast<std::size_t>(c)]) << c;

  const wchar_t* const first[] = {L"42", L"1", L"2.5", L"1E20", L"-0.125", L"0.1", L"ABC", L"caf\u00E9", L"7"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(t->ReadText(c), first[c]) << c;
  EXPECT_EQ(t->ReadInt64(4), 0);
  EXPECT_EQ(t->ReadDouble(0), 42.0);
  ASSERT_NE(t->ReadBlob(6), nullptr);
  EXPECT_EQ(*t->ReadBlob(6), (SqlBlob{'A', 'B', 'C'}));
  EXPECT_EQ(Raised([&] { t->ReadInt64(7); }), L"Not an integer or numeric field");
  EXPECT_EQ(Raised([&] { t->ReadDouble(6); }), L"Not an integer or numeric field");
  EXPECT_EQ(Raised([&] { t->ReadBlob(7); }), L"Not a Blob field");

  t->Next();
  EXPECT_TRUE(t->IsNull(0));
  EXPECT_EQ(t->ReadInt64(1), 0);
  // The undeclared column took the integer type of its first value: its text reads as 0.
  const wchar_t* const second[] = {L"", L"", L"3", L"0.00001", L"1E-6", L"100", L"", L"12", L"0"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(t->ReadText(c), second[c]) << c;
  EXPECT_EQ(t->ReadBlob(6), nullptr);  // an empty blob reads as NULL

  t->Next();
  EXPECT_TRUE(t->AtEnd());
  EXPECT_EQ(Raised([&] { t->ReadText(0); }), L"Table is at End of File");
}

TEST_F(SqliteLayer, AnUndeclaredColumnStartingWithNullKeepsItsText) {
  db_->ExecuteScript("CREATE TABLE t(k, v); INSERT INTO t VALUES(1, NULL); INSERT INTO t VALUES(2, 'later');");
  auto t = Query("SELECT v FROM t ORDER BY k");
  EXPECT_EQ(t->ColumnType(0), sqlite::kNull);
  t->Next();
  EXPECT_EQ(t->ReadText(0), L"later");
}

TEST_F(SqliteLayer, ColumnsAreFoundByNameWithoutRegardToCase) {
  db_->ExecuteScript("CREATE TABLE t(Key varchar(50)); INSERT INTO t VALUES('{K}');");
  auto t = Query("SELECT Key FROM t");
  EXPECT_EQ(t->ColumnIndexOf(L"key"), 0);
  EXPECT_EQ(Raised([&] { t->ColumnIndexOf(L"Nope"); }), L"Field not found in dataset: Nope");

  auto empty = Query("SELECT Key FROM t WHERE 0");
  EXPECT_EQ(empty->RowCount(), 0);
  EXPECT_EQ(empty->ColumnCount(), 0);
  EXPECT_TRUE(empty->AtEnd());
  EXPECT_EQ(Raised([&] { empty->ColumnIndexOf(L"Key"); }), L"Field Key Not found. Empty dataset");
}

TEST_F(SqliteLayer, ErrorsCarrySqlitesDiagnosis) {
  EXPECT_EQ(Raised([&] { Query("SELECT * FROM Missing"); }),
            L"Error executing SQL.\rError [1]: SQL error or missing database.\r\"SELECT * FROM Missing\": "
            L"no such table: Missing");
  // Blanks and comments hold no statement; SQLite has nothing to add.
  EXPECT_EQ(Raised([&] { Query("  -- nothing"); }), L"Could not prepare SQL statement");
  EXPECT_EQ(Raised([&] { db_->ExecuteStatement(" "); }), L"Could not prepare SQL statement");
  // Fails only while stepping.
  EXPECT_EQ(Raised([&] { Query("SELECT abs(-9223372036854775807 - 1)"); }),
            L"Could not retrieve data.\rError [1]: SQL error or missing database.\r\""
            L"SELECT abs(-9223372036854775807 - 1)\": integer overflow");
  db_->ExecuteScript("CREATE TABLE u(a UNIQUE); INSERT INTO u VALUES(1);");
  EXPECT_EQ(Raised([&] { db_->ExecuteStatement("INSERT INTO u VALUES(1)"); }),
            L"Error executing SQL statement.\rError [19]: Abort due to contraint violation.\r\""
            L"INSERT INTO u VALUES(1)\": UNIQUE constraint failed: u.a");
  // The connection still works after each failure.
  EXPECT_EQ(Query("SELECT count(*) FROM u")->ReadText(0), L"1");
}

TEST(SqliteErrors, DescribesCodesAndNamesUnknownOnes) {
  EXPECT_EQ(SqliteErrorDescription(26), L"File opened that is not a database file");
  EXPECT_EQ(SqliteErrorDescription(101), L"sqlite3_step() has finished executing");
  EXPECT_EQ(SqliteErrorDescription(27), L"Unknown SQLite Error Code \"27\"");
  EXPECT_EQ(ComposeSqliteError(L"Message", 0, "ignored", "SELECT"), L"Message");
  EXPECT_EQ(ComposeSqliteError(L"Message", 5, nullptr, "SELECT"), L"Message");
}

TEST_F(SqliteLayer, NamedParametersBindOnceAndUnknownNamesAreSkipped) {
  db_->AddParamInt(":i", 7);
  db_->AddParamFloat(":f", 0.5);
  db_->AddParamText("@t", L"\u00FC'x");
  db_->AddParamNull("$n");
  db_->AddParamInt(":unused", 1);
  auto t = Query("SELECT :i, :f, @t, $n IS NULL");
  EXPECT_EQ(t->ReadText(0), L"7");
  EXPECT_EQ(t->ReadText(1), L"0.5");
  EXPECT_EQ(t->ReadText(2), L"\u00FC'x");
  EXPECT_EQ(t->ReadText(3), L"1");
  // Used up by the statement before.
  EXPECT_TRUE(Query("SELECT :i")->IsNull(0));
}

TEST_F(SqliteLayer, PositionalValuesBindInOrderAndRefusalsRaise) {
  auto t = Query("SELECT ?, ?, ?, ?, ?, ?, ?", {std::int32_t{5}, std::int64_t{1} << 40, true, 2.25,
                                                std::wstring(L"w\u00E9"), SqlBlob{1, 2}, std::monostate{}});
  EXPECT_EQ(t->ReadText(0), L"5");
  EXPECT_EQ(t->ReadText(1), L"1099511627776");
  EXPECT_EQ(t->ReadText(2), L"1");
  EXPECT_EQ(t->ReadText(3), L"2.25");
  EXPECT_EQ(t->ReadText(4), L"w\u00E9");
  EXPECT_EQ(*t->ReadBlob(5), (SqlBlob{1, 2}));
  EXPECT_TRUE(t->IsNull(6));

  EXPECT_EQ(Raised([&] { Query("SELECT ?", {std::int32_t{1}, std::int32_t{2}}); }), L"Could not bind integer");
  EXPECT_EQ(Raised([&] { Query("SELECT 1", {std::wstring(L"x")}); }), L"Could not bind text");
  EXPECT_EQ(Raised([&] { Query("SELECT 1", {SqlBlob{}}); }), L"Could not bind BLOB");
  static const int something = 0;
  EXPECT_EQ(Raised([&] { Query("SELECT ?", {static_cast<const void*>(&something)}); }), L"Unhandled pointer (<> nil)");
}

TEST_F(SqliteLayer, ClosingInsideATransactionRollsItBack) {
  db_->ExecuteScript("CREATE TABLE t(a INTEGER);");
  db_->BeginTransaction();
  db_->ExecuteStatement("INSERT INTO t VALUES(1)");
  db_->Commit();
  db_->BeginTransaction();
  db_->ExecuteStatement("INSERT INTO t VALUES(2)");
  EXPECT_TRUE(db_->InTransaction());
  db_.reset();
  db_ = std::make_unique<TSQLiteDatabase>(sqlite_, folder_.File(L"layer.sqlite"), L"layer.sqlite");
  EXPECT_EQ(Query("SELECT group_concat(a) FROM t")->ReadText(0), L"1");
}

TEST_F(SqliteLayer, ScriptsRunEveryStatementAndQueriesAnnounceThemselves) {
  std::vector<std::string> seen;
  db_->OnBeforeQuery = [&](TSQLiteDatabase&, const std::string& sql) { seen.push_back(sql); };
  db_->ExecuteScript(
      "-- a comment first\n"
      "CREATE TABLE t(a INTEGER); /* between */ INSERT INTO t VALUES(1);\n"
      "INSERT INTO t VALUES(2); SELECT * FROM t;\n\n");
  EXPECT_EQ(Query("SELECT sum(a) FROM t")->ReadInt64(0), 3);
  EXPECT_EQ(seen.back(), "SELECT sum(a) FROM t");
  EXPECT_EQ(Raised([&] {
              db_->ExecuteScript("INSERT INTO t VALUES(3); INSERT INTO nowhere VALUES(4);");
            }).rfind(L"Error executing SQL.\rError [1]", 0),
            0u);
  EXPECT_EQ(Query("SELECT count(*) FROM t")->ReadInt64(0), 3);
}

TEST_F(SqliteLayer, BoundsStopRunawayStatements) {
  const std::string endless = "WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) ";
  db_->LimitStatements(4096, 0);
  EXPECT_EQ(Query(endless + "SELECT i FROM r LIMIT 5")->RowCount(), 5);
  EXPECT_EQ(Raised([&] { Query(endless + "SELECT 'row ' || i FROM r"); }), L"Could not retrieve data");
  EXPECT_EQ(Raised([&] { Query("SELECT zeroblob(5000)"); }), L"Could not retrieve data");

  db_->LimitStatements(0, 50);
  const std::string rowless = endless + "SELECT i FROM r WHERE i < 0";
  EXPECT_EQ(Raised([&] { Query(rowless); }),
            L"Could not retrieve data.\rError [9]: Operation terminated by sqlite3_interrupt().\r\"" +
                Utf8ToWide(rowless) + L"\": interrupted");
  // Each statement starts with the whole budget.
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Query("SELECT count(*) FROM (" + endless + "SELECT i FROM r LIMIT 1000)")->ReadInt64(0), 1000);

  db_->LimitStatements(0, 0);
  EXPECT_EQ(Query(endless + "SELECT i FROM r LIMIT 200000")->RowCount(), 200000);
}

TEST(FloatToText, UsesPlainNotationInTheMiddleRangeOnly) {
  EXPECT_EQ(FloatToText(0), L"0");
  EXPECT_EQ(FloatToText(-1.5), L"-1.5");
  EXPECT_EQ(FloatToText(1.0 / 3), L"0.333333333333333");
  EXPECT_EQ(FloatToText(123456789012345.0), L"123456789012345");
  EXPECT_EQ(FloatToText(1234567890123456.0), L"1.23456789012346E15");
  EXPECT_EQ(FloatToText(1.5e-7), L"1.5E-7");
  EXPECT_EQ(FloatToText(std::nan("")), L"NAN");
  EXPECT_EQ(FloatToText(-HUGE_VAL), L"-INF");
}

}  // namespace
}  // namespace nudgelet::detection
