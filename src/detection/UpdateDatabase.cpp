#include "detection/UpdateDatabase.h"

#include "base/Strings.h"
#include "detection/SQLiteTable.h"

namespace nudgelet::detection {
namespace {

std::wstring KeyOfOnlyRow(const TSQLiteTable* table) {
  if (!table || table->RowCount() != 1) return {};
  try {
    return table->ReadText(table->ColumnIndexOf(L"Key"));
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

std::mutex& UpdateDatabaseLock() {
  static std::mutex lock;
  return lock;
}

std::wstring QuotedSql(const std::wstring& text) {
  std::wstring quoted = L"'";
  for (wchar_t c : text) {
    quoted += c;
    if (c == L'\'') quoted += c;
  }
  return quoted + L"'";
}

TUpdateDatabase::TUpdateDatabase(UpdateDatabaseSetup setup, TSQLiteLibrary& sqlite)
    : setup_(std::move(setup)), sqlite_(sqlite) {}

TUpdateDatabase::~TUpdateDatabase() {
  std::lock_guard lock(UpdateDatabaseLock());
  obj_.reset();
}

void TUpdateDatabase::Bind() {
  sqlite_.SetLibraryPath(setup_.sqliteLibrary);
  sqlite_.BindLibrary(setup_.files, setup_.libraries);
}

bool TUpdateDatabase::ProbeDatabase(const std::wstring& path) {
  std::lock_guard lock(UpdateDatabaseLock());
  Bind();
  // sqlite3_open would create a missing file, leaving an empty "database" in
  // the program's folder that hides the missing one from every later check.
  // SQLite opens lazily, so a missing file would have opened: say so without
  // touching it.
  if (!setup_.files.Exists(path)) return sqlite_.IsBound("sqlite3_open");
  sqlite::Connection* db = nullptr;
  const int result = sqlite_.OpenReadOnly(WideToUtf8(path).c_str(), &db);
  if (db) sqlite_.Close(db);
  return result == sqlite::kOk;
}

void TUpdateDatabase::AcquireDatabase(const std::wstring& path) {
  std::lock_guard lock(UpdateDatabaseLock());
  if (!obj_) {
    Bind();
    obj_ = std::make_unique<TSqliteObj>(setup_, sqlite_, path);
  }
  ++uses_;
}

void TUpdateDatabase::ReleaseDatabase() {
  std::lock_guard lock(UpdateDatabaseLock());
  if (uses_ == 0) return;
  if (--uses_ == 0) obj_.reset();
}

std::wstring TUpdateDatabase::OpenCopyPath() const {
  std::lock_guard lock(UpdateDatabaseLock());
  return obj_ ? obj_->OpenPath() : std::wstring();
}

int TUpdateDatabase::UseCount() const {
  std::lock_guard lock(UpdateDatabaseLock());
  return uses_;
}

std::wstring TUpdateDatabase::ReadFailure() {
  std::lock_guard lock(UpdateDatabaseLock());
  if (!obj_) return L"no database is open";
  TSQLiteDatabase& db = obj_->Database();
  try {
    db.QueryTable("SELECT count(*) FROM sqlite_master");
    return {};
  } catch (const std::exception& error) {
    const char* message = db.Sqlite().ErrMsg(db.Handle());
    return message ? Utf8ToWide(message) : Utf8ToWide(error.what());
  }
}

bool TUpdateDatabase::WithOpenDatabase(const std::function<void(TSQLiteDatabase&)>& work) {
  std::lock_guard lock(UpdateDatabaseLock());
  if (!obj_) return false;
  work(obj_->Database());
  return true;
}

std::unique_ptr<TSQLiteTable> TUpdateDatabase::Query(const std::wstring& sql) {
  if (!obj_) return nullptr;
  try {
    return obj_->Database().QueryTable(WideToUtf8(sql));
  } catch (const std::exception&) {
    // A missing table or column, a damaged file: no answer.
    return nullptr;
  }
}

std::wstring TUpdateDatabase::FirstValue(const std::wstring& sql, const std::wstring& column) {
  const auto table = Query(sql);
  if (!table || table->RowCount() < 1) return {};
  try {
    return table->ReadText(table->ColumnIndexOf(column));
  } catch (const std::exception&) {
    return {};
  }
}

std::wstring TUpdateDatabase::FindKey(const std::wstring& displayName, const std::wstring& publisher) {
  std::lock_guard lock(UpdateDatabaseLock());
  const std::wstring byPublisher = L" and (Publisher like " + QuotedSql(L"%" + publisher + L"%") + L")";
  const auto first =
      Query(L"SELECT Key FROM SoftBase WHERE (instr(" + QuotedSql(displayName) + L",DisplayName) > 0)" + byPublisher);
  if (!first || first->RowCount() < 2) return KeyOfOnlyRow(first.get());
  // Several products fit: the one named like the installed program decides.
  return KeyOfOnlyRow(
      Query(L"SELECT Key FROM SoftBase WHERE (DisplayName like " + QuotedSql(displayName + L"%") + L")" + byPublisher)
          .get());
}

std::wstring TUpdateDatabase::FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                                const std::wstring& softName) {
  std::lock_guard lock(UpdateDatabaseLock());
  return KeyOfOnlyRow(Query(L"SELECT Key FROM SoftBase WHERE (instr(" + QuotedSql(displayName) + L",DisplayName) > 0)" +
                            L" and (Publisher like " + QuotedSql(L"%" + publisher + L"%") + L")" +
                            L" and (SoftName like " + QuotedSql(L"%" + softName + L"%") + L")")
                          .get());
}

std::wstring TUpdateDatabase::GetBaseField(const std::wstring& key, const std::wstring& column) {
  std::lock_guard lock(UpdateDatabaseLock());
  return FirstValue(L"SELECT " + column + L" FROM SoftBase WHERE key=" + QuotedSql(key), column);
}

std::wstring TUpdateDatabase::GetDownField(const std::wstring& key, int bit, int lanID, const std::wstring& column) {
  std::lock_guard lock(UpdateDatabaseLock());
  return FirstValue(L"SELECT " + column + L" FROM SoftDownInfo WHERE key=" + QuotedSql(key) + L" and LanID=" +
                        std::to_wstring(lanID) + L" and bit=" + std::to_wstring(bit),
                    column);
}

}  // namespace nudgelet::detection
