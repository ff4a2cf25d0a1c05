#include "detection/SQLiteLibrary.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace nudgelet::detection {

using sqlite::Connection;
using sqlite::Statement;

const char* const kSqliteFunctionNames[40] = {
    "sqlite3_open",
    "sqlite3_close",
    "sqlite3_exec",
    "sqlite3_libversion",
    "sqlite3_errmsg",
    "sqlite3_errcode",
    "sqlite3_free",
    "sqlite3_get_table",
    "sqlite3_free_table",
    "sqlite3_complete",
    "sqlite3_last_insert_rowid",
    "sqlite3_busy_handler",
    "sqlite3_busy_timeout",
    "sqlite3_changes",
    "sqlite3_total_changes",
    "sqlite3_prepare",
    "sqlite3_prepare_v2",
    "sqlite3_column_count",
    "sqlite3_column_name",
    "sqlite3_column_decltype",
    "sqlite3_step",
    "sqlite3_data_count",
    "sqlite3_column_blob",
    "sqlite3_column_bytes",
    "sqlite3_column_double",
    "sqlite3_column_int",
    "sqlite3_column_text",
    "sqlite3_column_type",
    "sqlite3_column_int64",
    "sqlite3_finalize",
    "sqlite3_reset",
    "sqlite3_bind_blob",
    "sqlite3_bind_text",
    "sqlite3_bind_double",
    "sqlite3_bind_int",
    "sqlite3_bind_int64",
    "sqlite3_bind_null",
    "sqlite3_bind_parameter_index",
    "sqlite3_enable_shared_cache",
    "sqlite3_create_collation",
};

namespace {

// Looked up beyond the list above: the probe opens without creating files, and
// queries of files that cannot be trusted run on a budget.
constexpr const char* kOpenV2 = "sqlite3_open_v2";
constexpr const char* kProgressHandler = "sqlite3_progress_handler";

bool HasFolder(const std::wstring& path) { return path.find_first_of(L"\\/:") != std::wstring::npos; }

template <typename Fn, typename Fallback, typename... Args>
auto CallOr(const std::atomic<Fn>& fn, Fallback fallback, Args... args) {
  const Fn f = fn.load(std::memory_order_acquire);
  return f ? f(args...) : fallback;
}

}  // namespace

// The C interface's types; no calling-convention attribute: SQLite exports cdecl.
struct TSQLiteLibrary::Functions {
  std::atomic<int (*)(const char*, Connection**)> open{nullptr};
  std::atomic<int (*)(const char*, Connection**, int, const char*)> openV2{nullptr};
  std::atomic<int (*)(Connection*)> close{nullptr};
  std::atomic<int (*)(Connection*)> errcode{nullptr};
  std::atomic<const char* (*)(Connection*)> errmsg{nullptr};
  std::atomic<void (*)(void*)> free{nullptr};
  std::atomic<int (*)(Connection*, const char*, int, Statement**, const char**)> prepareV2{nullptr};
  std::atomic<int (*)(Statement*)> step{nullptr};
  std::atomic<int (*)(Statement*)> finalize{nullptr};
  std::atomic<int (*)(Statement*)> reset{nullptr};
  std::atomic<int (*)(Statement*)> columnCount{nullptr};
  std::atomic<const char* (*)(Statement*, int)> columnName{nullptr};
  std::atomic<const char* (*)(Statement*, int)> columnDeclType{nullptr};
  std::atomic<int (*)(Statement*, int)> columnType{nullptr};
  std::atomic<int (*)(Statement*, int)> columnBytes{nullptr};
  std::atomic<std::int64_t (*)(Statement*, int)> columnInt64{nullptr};
  std::atomic<double (*)(Statement*, int)> columnDouble{nullptr};
  std::atomic<const unsigned char* (*)(Statement*, int)> columnText{nullptr};
  std::atomic<const void* (*)(Statement*, int)> columnBlob{nullptr};
  std::atomic<int (*)(Statement*, int, const void*, int, sqlite::Destructor)> bindBlob{nullptr};
  std::atomic<int (*)(Statement*, int, const char*, int, sqlite::Destructor)> bindText{nullptr};
  std::atomic<int (*)(Statement*, int, double)> bindDouble{nullptr};
  std::atomic<int (*)(Statement*, int, int)> bindInt{nullptr};
  std::atomic<int (*)(Statement*, int, std::int64_t)> bindInt64{nullptr};
  std::atomic<int (*)(Statement*, int)> bindNull{nullptr};
  std::atomic<int (*)(Statement*, const char*)> bindParameterIndex{nullptr};
  std::atomic<void (*)(Connection*, int, int (*)(void*), void*)> progressHandler{nullptr};
};

TSQLiteLibrary::TSQLiteLibrary() : fn_(std::make_unique<Functions>()) {}
TSQLiteLibrary::~TSQLiteLibrary() = default;

void TSQLiteLibrary::SetLibraryPath(std::wstring path) {
  std::lock_guard lock(mutex_);
  path_ = std::move(path);
}

std::wstring TSQLiteLibrary::LibraryPath() const {
  std::lock_guard lock(mutex_);
  return path_;
}

platform::EntryPoint TSQLiteLibrary::Find(const char* name) const {
  for (const auto& [entryName, entry] : table_)
    if (entryName == name) return entry;
  return nullptr;
}

void TSQLiteLibrary::BindLibrary(const platform::FileSystem& files, const platform::DynamicLibraries& libraries) {
  std::lock_guard lock(mutex_);
  if (path_.empty() || std::find(boundPaths_.begin(), boundPaths_.end(), path_) != boundPaths_.end()) return;
  if (HasFolder(path_) && !files.FileExists(path_)) return;
  auto module = libraries.Load(path_);
  if (!module) return;
  auto record = [&](const char* name) {
    if (const platform::EntryPoint entry = module->Resolve(name)) table_.emplace_back(name, entry);
  };
  for (const char* name : kSqliteFunctionNames) record(name);
  record(kOpenV2);
  record(kProgressHandler);
  modules_.push_back(std::move(module));
  boundPaths_.push_back(path_);

  auto set = [&](auto& slot, const char* name) {
    using Fn = typename std::remove_reference_t<decltype(slot)>::value_type;
    if (slot.load(std::memory_order_relaxed)) return;
    if (const platform::EntryPoint entry = Find(name))
      slot.store(reinterpret_cast<Fn>(entry), std::memory_order_release);
  };
  Functions& f = *fn_;
  set(f.open, "sqlite3_open");
  set(f.openV2, kOpenV2);
  set(f.close, "sqlite3_close");
  set(f.errcode, "sqlite3_errcode");
  set(f.errmsg, "sqlite3_errmsg");
  set(f.free, "sqlite3_free");
  set(f.prepareV2, "sqlite3_prepare_v2");
  set(f.step, "sqlite3_step");
  set(f.finalize, "sqlite3_finalize");
  set(f.reset, "sqlite3_reset");
  set(f.columnCount, "sqlite3_column_count");
  set(f.columnName, "sqlite3_column_name");
  set(f.columnDeclType, "sqlite3_column_decltype");
  set(f.columnType, "sqlite3_column_type");
  set(f.columnBytes, "sqlite3_column_bytes");
  set(f.columnInt64, "sqlite3_column_int64");
  set(f.columnDouble, "sqlite3_column_double");
  set(f.columnText, "sqlite3_column_text");
  set(f.columnBlob, "sqlite3_column_blob");
  set(f.bindBlob, "sqlite3_bind_blob");
  set(f.bindText, "sqlite3_bind_text");
  set(f.bindDouble, "sqlite3_bind_double");
  set(f.bindInt, "sqlite3_bind_int");
  set(f.bindInt64, "sqlite3_bind_int64");
  set(f.bindNull, "sqlite3_bind_null");
  set(f.bindParameterIndex, "sqlite3_bind_parameter_index");
  set(f.progressHandler, kProgressHandler);
}

bool TSQLiteLibrary::IsBound(const char* name) const {
  std::lock_guard lock(mutex_);
  return Find(name) != nullptr;
}

std::size_t TSQLiteLibrary::BoundCount() const {
  std::lock_guard lock(mutex_);
  return table_.size();
}

sqlite::Destructor TSQLiteLibrary::Transient() {
  return reinterpret_cast<sqlite::Destructor>(static_cast<std::intptr_t>(-1));
}

int TSQLiteLibrary::Open(const char* fileName, Connection** db) const {
  return CallOr(fn_->open, sqlite::kNotBound, fileName, db);
}

int TSQLiteLibrary::OpenReadOnly(const char* fileName, Connection** db) const {
  if (const auto openV2 = fn_->openV2.load(std::memory_order_acquire))
    return openV2(fileName, db, sqlite::kOpenReadOnly, nullptr);
  return Open(fileName, db);
}

int TSQLiteLibrary::Close(Connection* db) const { return CallOr(fn_->close, sqlite::kNotBound, db); }
int TSQLiteLibrary::ErrCode(Connection* db) const { return CallOr(fn_->errcode, sqlite::kNotBound, db); }
const char* TSQLiteLibrary::ErrMsg(Connection* db) const {
  return CallOr(fn_->errmsg, static_cast<const char*>(nullptr), db);
}

void TSQLiteLibrary::Free(void* p) const {
  if (const auto f = fn_->free.load(std::memory_order_acquire)) f(p);
}

int TSQLiteLibrary::PrepareV2(Connection* db, const char* sql, int bytes, Statement** statement,
                              const char** tail) const {
  return CallOr(fn_->prepareV2, sqlite::kNotBound, db, sql, bytes, statement, tail);
}

int TSQLiteLibrary::Step(Statement* s) const { return CallOr(fn_->step, -1, s); }
int TSQLiteLibrary::Finalize(Statement* s) const { return CallOr(fn_->finalize, sqlite::kNotBound, s); }
int TSQLiteLibrary::Reset(Statement* s) const { return CallOr(fn_->reset, sqlite::kNotBound, s); }
int TSQLiteLibrary::ColumnCount(Statement* s) const { return CallOr(fn_->columnCount, -1, s); }
const char* TSQLiteLibrary::ColumnName(Statement* s, int column) const {
  return CallOr(fn_->columnName, static_cast<const char*>(nullptr), s, column);
}
const char* TSQLiteLibrary::ColumnDeclType(Statement* s, int column) const {
  return CallOr(fn_->columnDeclType, static_cast<const char*>(nullptr), s, column);
}
int TSQLiteLibrary::ColumnType(Statement* s, int column) const { return CallOr(fn_->columnType, -1, s, column); }
int TSQLiteLibrary::ColumnBytes(Statement* s, int column) const { return CallOr(fn_->columnBytes, -1, s, column); }
std::int64_t TSQLiteLibrary::ColumnInt64(Statement* s, int column) const {
  return CallOr(fn_->columnInt64, std::int64_t{-1}, s, column);
}
double TSQLiteLibrary::ColumnDouble(Statement* s, int column) const {
  return CallOr(fn_->columnDouble, -1.0, s, column);
}
const unsigned char* TSQLiteLibrary::ColumnText(Statement* s, int column) const {
  return CallOr(fn_->columnText, static_cast<const unsigned char*>(nullptr), s, column);
}
const void* TSQLiteLibrary::ColumnBlob(Statement* s, int column) const {
  return CallOr(fn_->columnBlob, static_cast<const void*>(nullptr), s, column);
}
int TSQLiteLibrary::BindBlob(Statement* s, int index, const void* data, int bytes, sqlite::Destructor d) const {
  return CallOr(fn_->bindBlob, sqlite::kNotBound, s, index, data, bytes, d);
}
int TSQLiteLibrary::BindText(Statement* s, int index, const char* text, int bytes, sqlite::Destructor d) const {
  return CallOr(fn_->bindText, sqlite::kNotBound, s, index, text, bytes, d);
}
int TSQLiteLibrary::BindDouble(Statement* s, int index, double value) const {
  return CallOr(fn_->bindDouble, sqlite::kNotBound, s, index, value);
}
int TSQLiteLibrary::BindInt(Statement* s, int index, int value) const {
  return CallOr(fn_->bindInt, sqlite::kNotBound, s, index, value);
}
int TSQLiteLibrary::BindInt64(Statement* s, int index, std::int64_t value) const {
  return CallOr(fn_->bindInt64, sqlite::kNotBound, s, index, value);
}
int TSQLiteLibrary::BindNull(Statement* s, int index) const {
  return CallOr(fn_->bindNull, sqlite::kNotBound, s, index);
}
int TSQLiteLibrary::BindParameterIndex(Statement* s, const char* name) const {
  return CallOr(fn_->bindParameterIndex, sqlite::kNotBound, s, name);
}

void TSQLiteLibrary::ProgressHandler(Connection* db, int instructions, int (*callback)(void*), void* argument) const {
  if (const auto f = fn_->progressHandler.load(std::memory_order_acquire)) f(db, instructions, callback, argument);
}

TSQLiteLibrary& ProcessSqlite() {
  static TSQLiteLibrary library;
  return library;
}

}  // namespace nudgelet::detection
