#include "detection/SQLiteTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "base/Strings.h"
#include "detection/SQLiteErrors.h"

namespace nudgelet::detection {

using sqlite::Statement;

namespace {

int TypeFromDeclaration(const char* declared) {
  const std::wstring type = ToUpper(Utf8ToWide(declared));
  if (type == L"INTEGER" || type == L"BOOLEAN") return sqlite::kInteger;
  if (type == L"NUMERIC" || type == L"FLOAT" || type == L"DOUBLE" || type == L"REAL") return sqlite::kFloat;
  if (type == L"BLOB") return sqlite::kBlob;
  return sqlite::kText;
}

}  // namespace

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, const std::string& sqlUtf8, const std::vector<SqlValue>& values)
    : decode_(db.DecodeCodePage) {
  Statement* statement = db.Prepare(sqlUtf8, sqlUtf8.c_str(), nullptr);
  StatementGuard guard(db.Sqlite(), statement);
  Run(db, statement, sqlUtf8, values);
}

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, Statement* statement, const std::string& sqlUtf8,
                           const std::vector<SqlValue>& values)
    : decode_(db.DecodeCodePage) {
  Run(db, statement, sqlUtf8, values);
}

void TSQLiteTable::Run(TSQLiteDatabase& db, Statement* statement, const std::string& sqlUtf8,
                       const std::vector<SqlValue>& values) {
  const TSQLiteLibrary& sqlite = db.Sqlite();
  if (db.OnBeforeQuery) db.OnBeforeQuery(db, sqlUtf8);
  db.BindPending(statement);
  db.BindValues(statement, values);

  // What the result holds so far, against the database's bound.
  const std::size_t limit = db.MaxResultBytes();
  std::size_t held = 0;
  auto take = [&](std::size_t bytes) {
    if (limit == 0) return;
    if (bytes > limit - held) throw ESQLiteException(sqlite_text::kCouldNotRetrieve);
    held += bytes;
  };

  while (true) {
    const int result = sqlite.Step(statement);
    if (result == sqlite::kDone) {
      currentRow_ = 0;
      return;
    }
    if (result == sqlite::kBusy) throw ESQLiteException(sqlite_text::kCouldNotPrepare);
    if (result != sqlite::kRow) {
      sqlite.Reset(statement);
      db.Raise(sqlite_text::kCouldNotRetrieve, sqlUtf8);
    }
    if (rowCount_ == 0) {
      columnCount_ = std::max(0, sqlite.ColumnCount(statement));
      for (int c = 0; c < columnCount_; ++c) {
        const char* name = sqlite.ColumnName(statement, c);
        columnNames_.push_back(ToUpper(Utf8ToWide(name ? name : "")));
        const char* declared = sqlite.ColumnDeclType(statement, c);
        columnTypes_.push_back(declared ? TypeFromDeclaration(declared) : sqlite.ColumnType(statement, c));
      }
    }
    for (int c = 0; c < columnCount_; ++c) {
      take(sizeof(Cell));
      if (sqlite.ColumnType(statement, c) == sqlite::kNull) {
        cells_.emplace_back();
        continue;
      }
      switch (columnTypes_[static_cast<std::size_t>(c)]) {
        case sqlite::kInteger:
          cells_.emplace_back(sqlite.ColumnInt64(statement, c));
          break;
        case sqlite::kFloat:
          cells_.emplace_back(sqlite.ColumnDouble(statement, c));
          break;
        case sqlite::kBlob: {
          const auto* data = static_cast<const std::uint8_t*>(sqlite.ColumnBlob(statement, c));
          const int size = sqlite.ColumnBytes(statement, c);
          if (data && size > 0) {
            take(static_cast<std::size_t>(size));
            cells_.emplace_back(SqlBlob(data, data + size));
          } else {
            cells_.emplace_back();
          }
          break;
        }
        default: {
          const auto* text = reinterpret_cast<const char*>(sqlite.ColumnText(statement, c));
          const int size = sqlite.ColumnBytes(statement, c);
          take(static_cast<std::size_t>(std::max(size, 0)) * sizeof(wchar_t));
          cells_.emplace_back(text && size > 0 ? Utf8ToWide(std::string_view(text, static_cast<std::size_t>(size)))
                                               : std::wstring());
          break;
        }
      }
    }
    ++rowCount_;
  }
}

std::int32_t TSQLiteTable::ColumnIndexOf(std::wstring_view name) const {
  if (columnCount_ == 0) throw ESQLiteException(sqlite_text::FieldNotFoundInEmptyDataset(name));
  const std::wstring wanted = ToUpper(name);
  for (std::int32_t c = 0; c < columnCount_; ++c)
    if (columnNames_[static_cast<std::size_t>(c)] == wanted) return c;
  throw ESQLiteException(sqlite_text::FieldNotFound(name));
}

const TSQLiteTable::Cell& TSQLiteTable::At(std::int32_t column) const {
  if (AtEnd()) throw ESQLiteException(sqlite_text::kTableAtEnd);
  if (column < 0 || column >= columnCount_) throw ESQLiteException(sqlite_text::FieldNotFound(std::to_wstring(column)));
  return cells_[static_cast<std::size_t>(currentRow_) * static_cast<std::size_t>(columnCount_) +
                static_cast<std::size_t>(column)];
}

bool TSQLiteTable::IsNull(std::int32_t column) const { return std::holds_alternative<std::monostate>(At(column)); }

std::wstring TSQLiteTable::ReadText(std::int32_t column) const {
  const Cell& cell = At(column);
  // By what the cell holds: a column that took the type of a NULL in its first
  // row still keeps the text of its later rows.
  if (const auto* v = std::get_if<std::int64_t>(&cell)) return std::to_wstring(*v);
  if (const auto* v = std::get_if<double>(&cell)) return FloatToText(*v);
  if (const auto* v = std::get_if<std::wstring>(&cell)) return *v;
  if (const auto* v = std::get_if<SqlBlob>(&cell))
    return decode_(std::string_view(reinterpret_cast<const char*>(v->data()), v->size()));
  return {};
}

std::int64_t TSQLiteTable::ReadInt64(std::int32_t column) const {
  const Cell& cell = At(column);
  if (std::holds_alternative<std::monostate>(cell)) return 0;
  if (const auto* v = std::get_if<std::int64_t>(&cell)) return *v;
  if (const auto* v = std::get_if<double>(&cell)) {
    // Truncated toward zero; values beyond the range saturate instead of overflowing.
    constexpr double kLimit = 9223372036854775807.0;
    if (std::isnan(*v)) return 0;
    if (*v >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (*v <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(*v);
  }
  throw ESQLiteException(sqlite_text::kNotNumeric);
}

double TSQLiteTable::ReadDouble(std::int32_t column) const {
  const Cell& cell = At(column);
  if (std::holds_alternative<std::monostate>(cell)) return 0;
  if (const auto* v = std::get_if<std::int64_t>(&cell)) return static_cast<double>(*v);
  if (const auto* v = std::get_if<double>(&cell)) return *v;
  throw ESQLiteException(sqlite_text::kNotNumeric);
}

const SqlBlob* TSQLiteTable::ReadBlob(std::int32_t column) const {
  const Cell& cell = At(column);
  if (std::holds_alternative<std::monostate>(cell)) return nullptr;
  if (const auto* v = std::get_if<SqlBlob>(&cell)) return v;
  throw ESQLiteException(sqlite_text::kNotBlob);
}

TSQLitePreparedQuery::TSQLitePreparedQuery(TSQLiteDatabase& db, std::string sqlUtf8)
    : db_(&db), sql_(std::move(sqlUtf8)), statement_(db.Prepare(sql_, sql_.c_str(), nullptr)) {
  db.prepared_.push_back(this);
}

TSQLitePreparedQuery::~TSQLitePreparedQuery() {
  if (!db_) return;
  std::erase(db_->prepared_, this);
  Detach();
}

void TSQLitePreparedQuery::Detach() {
  db_->Sqlite().Finalize(statement_);
  statement_ = nullptr;
  db_ = nullptr;
}

std::unique_ptr<TSQLiteTable> TSQLitePreparedQuery::Run(const std::vector<SqlValue>& values) {
  if (!db_) throw ESQLiteException(sqlite_text::kCouldNotPrepare);
  // A run ends its statement (and so its read of the file) whatever happens.
  struct Reset {
    const TSQLiteLibrary& sqlite;
    Statement* statement;
    ~Reset() { sqlite.Reset(statement); }
  } reset{db_->Sqlite(), statement_};
  db_->RestartBudget();
  return std::make_unique<TSQLiteTable>(*db_, statement_, sql_, values);
}

std::wstring FloatToText(double value) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value > 0 ? L"INF" : L"-INF";
  if (value == 0) return L"0";
  // 15 significant digits: "d.dddddddddddddde+XX".
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string text = buffer;
  const bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  const auto e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= 15 || exponent < -5) {
    out.push_back(digits[0]);
    if (digits.size() > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent));
  } else if (exponent >= 0) {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out.append(digits).append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole).append(".").append(digits, whole);
    }
  } else {
    out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
  }
  return Latin1ToWide(out);
}

}  // namespace nudgelet::detection
