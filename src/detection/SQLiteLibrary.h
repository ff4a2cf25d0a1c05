#pragma once
// SQLite bound at run time: the library is loaded by path (or, natively, by
// name) and its functions are found by name. Every wrapper answers a fixed value
// when its function was not found, so a missing or incomplete library turns into
// ordinary failures instead of calls through null pointers.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"

namespace nudgelet::detection {

namespace sqlite {
// Opaque handles of the C interface.
struct Connection;
struct Statement;

inline constexpr int kOk = 0;
inline constexpr int kBusy = 5;
inline constexpr int kRow = 100;
inline constexpr int kDone = 101;
inline constexpr int kNotBound = 999;

inline constexpr int kInteger = 1;
inline constexpr int kFloat = 2;
inline constexpr int kText = 3;
inline constexpr int kBlob = 4;
inline constexpr int kNull = 5;

inline constexpr int kOpenReadOnly = 0x00000001;

using Destructor = void (*)(void*);
}  // namespace sqlite

// The names looked up, in the order they are recorded.
extern const char* const kSqliteFunctionNames[40];

class TSQLiteLibrary {
 public:
  TSQLiteLibrary();
  ~TSQLiteLibrary();
  TSQLiteLibrary(const TSQLiteLibrary&) = delete;
  TSQLiteLibrary& operator=(const TSQLiteLibrary&) = delete;

  void SetLibraryPath(std::wstring path);
  std::wstring LibraryPath() const;
  // Loads the library of LibraryPath() and records every function found. A path
  // with a folder must name an existing file; a bare name goes through the
  // system's search. Binding again keeps what was found first.
  void BindLibrary(const platform::FileSystem& files, const platform::DynamicLibraries& libraries);
  bool IsBound(const char* name) const;
  std::size_t BoundCount() const;

  // The wrappers: C calling convention and arguments of the C interface.
  int Open(const char* fileName, sqlite::Connection** db) const;
  // Opens without ever creating the file; falls back to Open when the library
  // lacks sqlite3_open_v2.
  int OpenReadOnly(const char* fileName, sqlite::Connection** db) const;
  int Close(sqlite::Connection* db) const;
  int ErrCode(sqlite::Connection* db) const;
  const char* ErrMsg(sqlite::Connection* db) const;
  void Free(void* p) const;
  int PrepareV2(sqlite::Connection* db, const char* sql, int bytes, sqlite::Statement** statement,
                const char** tail) const;
  int Step(sqlite::Statement* s) const;
  int Finalize(sqlite::Statement* s) const;
  int Reset(sqlite::Statement* s) const;
  int ColumnCount(sqlite::Statement* s) const;
  const char* ColumnName(sqlite::Statement* s, int column) const;
  const char* ColumnDeclType(sqlite::Statement* s, int column) const;
  int ColumnType(sqlite::Statement* s, int column) const;
  int ColumnBytes(sqlite::Statement* s, int column) const;
  std::int64_t ColumnInt64(sqlite::Statement* s, int column) const;
  double ColumnDouble(sqlite::Statement* s, int column) const;
  const unsigned char* ColumnText(sqlite::Statement* s, int column) const;
  const void* ColumnBlob(sqlite::Statement* s, int column) const;
  int BindBlob(sqlite::Statement* s, int index, const void* data, int bytes, sqlite::Destructor d) const;
  int BindText(sqlite::Statement* s, int index, const char* text, int bytes, sqlite::Destructor d) const;
  int BindDouble(sqlite::Statement* s, int index, double value) const;
  int BindInt(sqlite::Statement* s, int index, int value) const;
  int BindInt64(sqlite::Statement* s, int index, std::int64_t value) const;
  int BindNull(sqlite::Statement* s, int index) const;
  int BindParameterIndex(sqlite::Statement* s, const char* name) const;
  // Does nothing when the library lacks it.
  void ProgressHandler(sqlite::Connection* db, int instructions, int (*callback)(void*), void* argument) const;

  // SQLite's SQLITE_TRANSIENT: the library copies the value before the call returns.
  static sqlite::Destructor Transient();

 private:
  struct Functions;
  platform::EntryPoint Find(const char* name) const;

  mutable std::mutex mutex_;
  std::wstring path_;
  std::vector<std::wstring> boundPaths_;
  std::vector<std::unique_ptr<platform::DynamicLibrary>> modules_;
  // name = entry point, in the order found; lookups take the first.
  std::vector<std::pair<std::string, platform::EntryPoint>> table_;
  std::unique_ptr<Functions> fn_;
};

// The process's binding, shared by every database it opens.
TSQLiteLibrary& ProcessSqlite();

}  // namespace nudgelet::detection
