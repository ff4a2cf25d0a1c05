#pragma once
// One open SQLite connection with the layer's statement running and parameter
// binding. Results come back as TSQLiteTable (SQLiteTable.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "detection/SQLiteLibrary.h"

namespace nudgelet::detection {

class TSQLiteTable;
class TSQLitePreparedQuery;

// One result row as SQLite hands it over; valid only while the row is current.
class SqlRowView {
 public:
  SqlRowView(const TSQLiteLibrary& sqlite, sqlite::Statement* statement) : sqlite_(sqlite), statement_(statement) {}
  int ColumnCount() const;
  // The value's own type: sqlite::kInteger, kFloat, kText, kBlob or kNull.
  int Type(int column) const;
  // A blob's bytes, or anything else as SQLite's own UTF-8 text of it (a
  // number as SQL functions see it); empty for NULL.
  std::string_view Bytes(int column) const;
  std::int64_t Int64(int column) const;

 private:
  const TSQLiteLibrary& sqlite_;
  sqlite::Statement* statement_;
};

// A value for a positional parameter. std::string is text already in UTF-8; a
// null pointer binds SQL NULL, any other pointer is refused.
using SqlBlob = std::vector<std::uint8_t>;
using SqlValue = std::variant<std::monostate, bool, std::int32_t, std::int64_t, double, std::wstring, std::string,
                              SqlBlob, const void*>;

// How blob bytes read as text become text: the system's code page.
using CodePageDecoder = std::function<std::wstring(std::string_view)>;

class TSQLiteDatabase {
 public:
  using BeforeQueryEvent = std::function<void(TSQLiteDatabase& db, const std::string& sqlUtf8)>;

  // Opens fileName with sqlite3_open (an empty name gives a private temporary
  // database). Failures raise ESQLiteException naming shownName.
  TSQLiteDatabase(const TSQLiteLibrary& sqlite, const std::wstring& fileName, const std::wstring& shownName);
  // Rolls back an open transaction, then closes the connection.
  ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  // The complete result of one query, read into memory.
  std::unique_ptr<TSQLiteTable> QueryTable(const std::string& sqlUtf8, const std::vector<SqlValue>& values = {});
  // Runs a query and hands every row to onRow as it comes, keeping none, so a
  // whole table can be read without holding it twice. Raises as QueryTable;
  // the statement bounds hold, except the result size, which is the caller's.
  void ForEachRow(const std::string& sqlUtf8, const std::vector<SqlValue>& values,
                  const std::function<void(const SqlRowView&)>& onRow);
  // One statement without result rows.
  void ExecuteStatement(const std::string& sqlUtf8, const std::vector<SqlValue>& values = {});
  // Runs a PRAGMA that tunes the connection, such as "PRAGMA cache_size=-512".
  // Not a query: the hooks that watch queries do not see it, and a library
  // that does not know it runs as before.
  void Tune(const std::string& pragmaUtf8);
  // Every statement of a script in turn; the first failure stops it.
  void ExecuteScript(const std::string& sqlUtf8);

  void BeginTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return inTransaction_; }

  // Named parameters for the next statement only ("name" as written in the SQL,
  // with its ":", "@" or "$"). Names the statement does not use are skipped.
  void AddParamInt(const std::string& name, std::int64_t value);
  void AddParamFloat(const std::string& name, double value);
  void AddParamText(const std::string& name, const std::wstring& value);
  void AddParamNull(const std::string& name);

  // Bounds on what one statement may cost, for files that cannot be trusted (a
  // view can produce rows without end): the memory a query's result takes, and
  // the virtual-machine instructions a statement may run, in thousands. Beyond
  // either the statement fails with "Could not retrieve data" or SQLite's
  // interruption. 0 leaves a bound off.
  void LimitStatements(std::size_t maxResultBytes, std::uint64_t maxThousandInstructions);
  std::size_t MaxResultBytes() const { return maxResultBytes_; }

  BeforeQueryEvent OnBeforeQuery;
  CodePageDecoder DecodeCodePage;

  const TSQLiteLibrary& Sqlite() const { return sqlite_; }
  sqlite::Connection* Handle() const { return db_; }

 private:
  friend class TSQLiteTable;
  friend class TSQLitePreparedQuery;
  struct InstructionBudget {
    std::uint64_t allowed = 0;
    std::uint64_t used = 0;
  };
  struct Param {
    std::string name;
    int type;  // sqlite::kInteger, kFloat, kText or kNull
    std::int64_t integer = 0;
    double number = 0;
    std::string text;
  };

  // The progress callback: SQLite calls it every thousand instructions, and a
  // non-zero answer interrupts the statement.
  static int OverBudget(void* budget);
  [[noreturn]] void Raise(std::wstring_view message, const std::string& sqlUtf8) const;
  // Prepares one statement; raises the layer's messages. tail receives the rest of the script.
  // Also starts the statement's instruction budget afresh.
  sqlite::Statement* Prepare(const std::string& sqlUtf8, const char* sql, const char** tail);
  // For a statement run again: its budget starts afresh too.
  void RestartBudget() { budget_->used = 0; }
  void BindPending(sqlite::Statement* statement);
  void BindValues(sqlite::Statement* statement, const std::vector<SqlValue>& values);
  void RunPrepared(sqlite::Statement* statement, const std::string& sqlUtf8, const std::vector<SqlValue>& values);

  const TSQLiteLibrary& sqlite_;
  sqlite::Connection* db_ = nullptr;
  bool inTransaction_ = false;
  std::vector<Param> params_;
  std::size_t maxResultBytes_ = 0;
  // On the heap: SQLite keeps its address for the progress callback.
  std::unique_ptr<InstructionBudget> budget_ = std::make_unique<InstructionBudget>();
  // Finalized before the connection closes, which they would otherwise keep open.
  std::vector<TSQLitePreparedQuery*> prepared_;
};

// Finalizes a prepared statement on every path out of a scope.
class StatementGuard {
 public:
  StatementGuard(const TSQLiteLibrary& sqlite, sqlite::Statement* statement) : sqlite_(sqlite), statement_(statement) {}
  ~StatementGuard() {
    if (statement_) sqlite_.Finalize(statement_);
  }
  StatementGuard(const StatementGuard&) = delete;
  StatementGuard& operator=(const StatementGuard&) = delete;

 private:
  const TSQLiteLibrary& sqlite_;
  sqlite::Statement* statement_;
};

}  // namespace nudgelet::detection
