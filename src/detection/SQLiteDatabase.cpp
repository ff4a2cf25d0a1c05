#include "detection/SQLiteDatabase.h"

#include <climits>

#include "base/Strings.h"
#include "detection/SQLiteErrors.h"
#include "detection/SQLiteTable.h"

namespace nudgelet::detection {

using sqlite::Statement;

TSQLiteDatabase::TSQLiteDatabase(const TSQLiteLibrary& sqlite, const std::wstring& fileName,
                                 const std::wstring& shownName)
    : DecodeCodePage([](std::string_view bytes) { return Latin1ToWide(bytes); }), sqlite_(sqlite) {
  const std::string name = WideToUtf8(fileName);
  if (sqlite_.Open(name.c_str(), &db_) == sqlite::kOk) return;
  if (!db_) throw ESQLiteException(sqlite_text::FailedToOpen(shownName, nullptr));
  std::wstring message = sqlite_text::FailedToOpen(shownName, sqlite_.ErrMsg(db_));
  // A failed open still hands out a connection, and only close frees it.
  sqlite_.Close(db_);
  db_ = nullptr;
  throw ESQLiteException(std::move(message));
}

TSQLiteDatabase::~TSQLiteDatabase() {
  for (TSQLitePreparedQuery* query : std::vector<TSQLitePreparedQuery*>(prepared_)) query->Detach();
  if (inTransaction_) {
    try {
      ExecuteStatement("ROLLBACK");
    } catch (const std::exception&) {
      // Closing rolls back what is still open anyway.
    }
  }
  if (db_) sqlite_.Close(db_);
}

void TSQLiteDatabase::Raise(std::wstring_view message, const std::string& sqlUtf8) const {
  throw ESQLiteException(ComposeSqliteError(message, sqlite_.ErrCode(db_), sqlite_.ErrMsg(db_), sqlUtf8));
}

int TSQLiteDatabase::OverBudget(void* argument) {
  auto& budget = *static_cast<InstructionBudget*>(argument);
  return ++budget.used > budget.allowed ? 1 : 0;
}

void TSQLiteDatabase::LimitStatements(std::size_t maxResultBytes, std::uint64_t maxThousandInstructions) {
  maxResultBytes_ = maxResultBytes;
  budget_->allowed = maxThousandInstructions;
  budget_->used = 0;
  const bool limited = maxThousandInstructions != 0;
  sqlite_.ProgressHandler(db_, 1000, limited ? &OverBudget : nullptr, limited ? budget_.get() : nullptr);
}

Statement* TSQLiteDatabase::Prepare(const std::string& sqlUtf8, const char* sql, const char** tail) {
  budget_->used = 0;
  Statement* statement = nullptr;
  if (sqlite_.PrepareV2(db_, sql, -1, &statement, tail) != sqlite::kOk) {
    if (statement) sqlite_.Finalize(statement);
    Raise(sqlite_text::kErrorExecuting, sqlUtf8);
  }
  if (!statement) Raise(sqlite_text::kCouldNotPrepare, sqlUtf8);
  return statement;
}

void TSQLiteDatabase::BindPending(Statement* statement) {
  // The parameters belong to this statement whatever becomes of it.
  const std::vector<Param> params = std::move(params_);
  params_.clear();
  for (const Param& p : params) {
    const int index = sqlite_.BindParameterIndex(statement, p.name.c_str());
    if (index <= 0) continue;
    switch (p.type) {
      case sqlite::kInteger:
        if (sqlite_.BindInt64(statement, index, p.integer) != sqlite::kOk)
          throw ESQLiteException(sqlite_text::kBindInt64);
        break;
      case sqlite::kFloat:
        if (sqlite_.BindDouble(statement, index, p.number) != sqlite::kOk)
          throw ESQLiteException(sqlite_text::kBindExtended);
        break;
      case sqlite::kText:
        if (p.text.size() > INT_MAX ||
            sqlite_.BindText(statement, index, p.text.data(), static_cast<int>(p.text.size()),
                             TSQLiteLibrary::Transient()) != sqlite::kOk)
          throw ESQLiteException(sqlite_text::kBindText);
        break;
      default:
        if (sqlite_.BindNull(statement, index) != sqlite::kOk) throw ESQLiteException(sqlite_text::kBindNull);
        break;
    }
  }
}

namespace {

struct PositionalBinder {
  const TSQLiteLibrary& sqlite;
  Statement* statement;
  int index;

  void Check(int result, const wchar_t* message) const {
    if (result != sqlite::kOk) throw ESQLiteException(message);
  }
  void BindUtf8(const std::string& text) const {
    if (text.size() > INT_MAX) throw ESQLiteException(sqlite_text::kBindText);
    Check(sqlite.BindText(statement, index, text.data(), static_cast<int>(text.size()), TSQLiteLibrary::Transient()),
          sqlite_text::kBindText);
  }

  void operator()(std::monostate) const { Check(sqlite.BindNull(statement, index), sqlite_text::kBindNull); }
  void operator()(bool v) const { Check(sqlite.BindInt(statement, index, v ? 1 : 0), sqlite_text::kBindBoolean); }
  void operator()(std::int32_t v) const { Check(sqlite.BindInt(statement, index, v), sqlite_text::kBindInteger); }
  void operator()(std::int64_t v) const { Check(sqlite.BindInt64(statement, index, v), sqlite_text::kBindInt64); }
  void operator()(double v) const { Check(sqlite.BindDouble(statement, index, v), sqlite_text::kBindExtended); }
  void operator()(const std::wstring& v) const { BindUtf8(WideToUtf8(v)); }
  void operator()(const std::string& v) const { BindUtf8(v); }
  void operator()(const SqlBlob& v) const {
    if (v.size() > INT_MAX) throw ESQLiteException(sqlite_text::kBindBlob);
    // A null pointer would bind NULL instead of an empty blob.
    static const std::uint8_t kEmpty = 0;
    const int result = sqlite.BindBlob(statement, index, v.empty() ? &kEmpty : v.data(), static_cast<int>(v.size()),
                                       TSQLiteLibrary::Transient());
    constexpr int kNoMemory = 7;
    if (result == kNoMemory) throw ESQLiteException(sqlite_text::kBlobMemory);
    Check(result, sqlite_text::kBindBlob);
  }
  void operator()(const void* p) const {
    if (p) throw ESQLiteException(sqlite_text::kUnhandledPointer);
    Check(sqlite.BindNull(statement, index), sqlite_text::kBindNull);
  }
};

}  // namespace

void TSQLiteDatabase::BindValues(Statement* statement, const std::vector<SqlValue>& values) {
  int index = 0;
  for (const SqlValue& value : values) std::visit(PositionalBinder{sqlite_, statement, ++index}, value);
}

void TSQLiteDatabase::RunPrepared(Statement* statement, const std::string& sqlUtf8,
                                  const std::vector<SqlValue>& values) {
  if (OnBeforeQuery) OnBeforeQuery(*this, sqlUtf8);
  BindPending(statement);
  BindValues(statement, values);
  int result = sqlite_.Step(statement);
  while (result == sqlite::kRow) result = sqlite_.Step(statement);
  if (result != sqlite::kDone) Raise(sqlite_text::kErrorExecutingStatement, sqlUtf8);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::QueryTable(const std::string& sqlUtf8,
                                                          const std::vector<SqlValue>& values) {
  return std::make_unique<TSQLiteTable>(*this, sqlUtf8, values);
}

void TSQLiteDatabase::ForEachRow(const std::string& sqlUtf8, const std::vector<SqlValue>& values,
                                 const std::function<void(const SqlRowView&)>& onRow) {
  Statement* statement = Prepare(sqlUtf8, sqlUtf8.c_str(), nullptr);
  StatementGuard guard(sqlite_, statement);
  if (OnBeforeQuery) OnBeforeQuery(*this, sqlUtf8);
  BindPending(statement);
  BindValues(statement, values);
  const SqlRowView row(sqlite_, statement);
  while (true) {
    const int result = sqlite_.Step(statement);
    if (result == sqlite::kDone) return;
    if (result == sqlite::kBusy) throw ESQLiteException(sqlite_text::kCouldNotPrepare);
    if (result != sqlite::kRow) {
      sqlite_.Reset(statement);
      Raise(sqlite_text::kCouldNotRetrieve, sqlUtf8);
    }
    onRow(row);
  }
}

int SqlRowView::ColumnCount() const { return sqlite_.ColumnCount(statement_); }

int SqlRowView::Type(int column) const { return sqlite_.ColumnType(statement_, column); }

std::string_view SqlRowView::Bytes(int column) const {
  // The pointer first, then the size: asking for text may convert the value.
  const void* data = Type(column) == sqlite::kBlob ? sqlite_.ColumnBlob(statement_, column)
                                                   : static_cast<const void*>(sqlite_.ColumnText(statement_, column));
  const int size = sqlite_.ColumnBytes(statement_, column);
  if (!data || size <= 0) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::int64_t SqlRowView::Int64(int column) const { return sqlite_.ColumnInt64(statement_, column); }

void TSQLiteDatabase::Tune(const std::string& pragmaUtf8) {
  Statement* statement = nullptr;
  if (sqlite_.PrepareV2(db_, pragmaUtf8.c_str(), -1, &statement, nullptr) != sqlite::kOk || !statement) {
    if (statement) sqlite_.Finalize(statement);
    return;
  }
  while (sqlite_.Step(statement) == sqlite::kRow) {
  }
  sqlite_.Finalize(statement);
}

void TSQLiteDatabase::ExecuteStatement(const std::string& sqlUtf8, const std::vector<SqlValue>& values) {
  Statement* statement = Prepare(sqlUtf8, sqlUtf8.c_str(), nullptr);
  StatementGuard guard(sqlite_, statement);
  RunPrepared(statement, sqlUtf8, values);
}

void TSQLiteDatabase::ExecuteScript(const std::string& sqlUtf8) {
  const char* next = sqlUtf8.c_str();
  while (*next) {
    const char* tail = nullptr;
    Statement* statement = nullptr;
    budget_->used = 0;
    if (sqlite_.PrepareV2(db_, next, -1, &statement, &tail) != sqlite::kOk) {
      if (statement) sqlite_.Finalize(statement);
      Raise(sqlite_text::kErrorExecuting, tail && tail > next ? std::string(next, tail) : std::string(next));
    }
    const std::string text = tail && tail > next ? std::string(next, tail) : std::string(next);
    if (!tail || tail <= next) {
      // Nothing was consumed: what is left holds no statement.
      if (statement) sqlite_.Finalize(statement);
      break;
    }
    next = tail;
    if (!statement) continue;  // blanks or a comment between statements
    StatementGuard guard(sqlite_, statement);
    RunPrepared(statement, text, {});
  }
}

void TSQLiteDatabase::BeginTransaction() {
  ExecuteStatement("BEGIN TRANSACTION");
  inTransaction_ = true;
}

void TSQLiteDatabase::Commit() {
  ExecuteStatement("COMMIT");
  inTransaction_ = false;
}

void TSQLiteDatabase::Rollback() {
  inTransaction_ = false;
  ExecuteStatement("ROLLBACK");
}

void TSQLiteDatabase::AddParamInt(const std::string& name, std::int64_t value) {
  params_.push_back(Param{name, sqlite::kInteger, value, 0, {}});
}

void TSQLiteDatabase::AddParamFloat(const std::string& name, double value) {
  params_.push_back(Param{name, sqlite::kFloat, 0, value, {}});
}

void TSQLiteDatabase::AddParamText(const std::string& name, const std::wstring& value) {
  params_.push_back(Param{name, sqlite::kText, 0, 0, WideToUtf8(value)});
}

void TSQLiteDatabase::AddParamNull(const std::string& name) { params_.push_back(Param{name, sqlite::kNull, 0, 0, {}}); }

}  // namespace nudgelet::detection
