#pragma once
// The complete result of one query, read into memory when it is made. Fields are
// read from the current row; columns are found by name without regard to case.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "detection/SQLiteDatabase.h"

namespace nudgelet::detection {

class TSQLiteTable {
 public:
  // Runs the query to its end. Raises ESQLiteException when it cannot.
  TSQLiteTable(TSQLiteDatabase& db, const std::string& sqlUtf8, const std::vector<SqlValue>& values);
  // Runs a statement prepared beforehand (TSQLitePreparedQuery) the same way.
  TSQLiteTable(TSQLiteDatabase& db, sqlite::Statement* statement, const std::string& sqlUtf8,
               const std::vector<SqlValue>& values);

  std::int32_t RowCount() const { return rowCount_; }
  std::int32_t ColumnCount() const { return columnCount_; }
  // Upper-cased.
  const std::vector<std::wstring>& ColumnNames() const { return columnNames_; }
  // sqlite::kInteger, kFloat, kText or kBlob; a column without declared type
  // takes the type of its value in the first row, which may be sqlite::kNull.
  int ColumnType(std::int32_t column) const { return columnTypes_.at(static_cast<std::size_t>(column)); }

  std::int32_t CurrentRow() const { return currentRow_; }
  bool AtEnd() const { return currentRow_ >= rowCount_; }
  void Next() {
    if (!AtEnd()) ++currentRow_;
  }

  std::int32_t ColumnIndexOf(std::wstring_view name) const;
  bool IsNull(std::int32_t column) const;
  // NULL reads as "", numbers as their decimal text, blobs as system-code-page text.
  std::wstring ReadText(std::int32_t column) const;
  // NULL reads as 0; text and blobs raise.
  std::int64_t ReadInt64(std::int32_t column) const;
  double ReadDouble(std::int32_t column) const;
  // nullptr for NULL; owned by the table.
  const SqlBlob* ReadBlob(std::int32_t column) const;

 private:
  using Cell = std::variant<std::monostate, std::int64_t, double, std::wstring, SqlBlob>;
  void Run(TSQLiteDatabase& db, sqlite::Statement* statement, const std::string& sqlUtf8,
           const std::vector<SqlValue>& values);
  const Cell& At(std::int32_t column) const;

  std::vector<Cell> cells_;  // row-major
  std::int32_t rowCount_ = 0;
  std::int32_t columnCount_ = 0;
  std::vector<std::wstring> columnNames_;
  std::vector<int> columnTypes_;
  std::int32_t currentRow_ = 0;
  CodePageDecoder decode_;
};

// The shortest general decimal form with up to 15 significant digits, in plain
// notation for magnitudes from 0.00001 to below 10^15 and as "1.5E20" outside.
std::wstring FloatToText(double value);

// One query prepared once and run any number of times, each run read as
// QueryTable reads it, within the same bounds. For the many small reads of one
// shape that would otherwise each be parsed afresh. A query that outlives its
// connection is finalized when the connection closes, and then raises.
class TSQLitePreparedQuery {
 public:
  // Raises as QueryTable does for a statement that cannot be prepared.
  TSQLitePreparedQuery(TSQLiteDatabase& db, std::string sqlUtf8);
  ~TSQLitePreparedQuery();
  TSQLitePreparedQuery(const TSQLitePreparedQuery&) = delete;
  TSQLitePreparedQuery& operator=(const TSQLitePreparedQuery&) = delete;

  std::unique_ptr<TSQLiteTable> Run(const std::vector<SqlValue>& values);

 private:
  friend class TSQLiteDatabase;
  void Detach();

  TSQLiteDatabase* db_;
  std::string sql_;
  sqlite::Statement* statement_;
};

}  // namespace nudgelet::detection
