#pragma once
// The update database as the detection asks it: which product key belongs to an
// installed program, and single values of the product table SoftBase and the
// download table SoftDownInfo. The open database is shared by use count; the
// queries never raise and answer "" for anything they cannot answer.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "detection/SQLiteLibrary.h"
#include "detection/SqliteObj.h"

namespace nudgelet::detection {

class TSQLiteTable;

class TUpdateDatabase {
 public:
  explicit TUpdateDatabase(UpdateDatabaseSetup setup, TSQLiteLibrary& sqlite = ProcessSqlite());
  ~TUpdateDatabase();
  TUpdateDatabase(const TUpdateDatabase&) = delete;
  TUpdateDatabase& operator=(const TUpdateDatabase&) = delete;

  // Whether SQLite is there and would open the enciphered file. A missing file
  // passes (the caller tells "missing" apart by itself) and is never created.
  bool ProbeDatabase(const std::wstring& path);
  // The first use deciphers and opens the database; its failures raise and
  // leave the use count as it was.
  void AcquireDatabase(const std::wstring& path);
  // The last release closes the database.
  void ReleaseDatabase();
  int UseCount() const;

  // The key whose DisplayName occurs in displayName (case-sensitive) and whose
  // Publisher contains publisher (LIKE). When several do, the one whose
  // DisplayName begins with displayName (LIKE), if exactly one does.
  std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher);
  // As the first search of FindKey, narrowed by SoftName containing softName.
  std::wstring FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                 const std::wstring& softName);
  std::wstring GetBaseField(const std::wstring& key, const std::wstring& column);
  std::wstring GetDownField(const std::wstring& key, int bit, int lanID, const std::wstring& column);

  // SQLite's message when the open database cannot be read at all (the deciphered
  // copy is no database, or a damaged one), "" when it can. SQLite opens lazily,
  // so such a file passes AcquireDatabase, and the queries above answer "" for it
  // as for any unanswerable question; a caller that must tell a broken database
  // from an empty answer asks here.
  std::wstring ReadFailure();

  // Runs work on the open database under the process-wide lock; false, without
  // running it, when no database is open. work must not call the queries above.
  bool WithOpenDatabase(const std::function<void(TSQLiteDatabase&)>& work);
  const UpdateDatabaseSetup& Setup() const { return setup_; }
  // The deciphered copy that is open; "" when none is.
  std::wstring OpenCopyPath() const;

 private:
  void Bind();
  // The query's rows when it can be answered; nullptr otherwise.
  std::unique_ptr<TSQLiteTable> Query(const std::wstring& sql);
  std::wstring FirstValue(const std::wstring& sql, const std::wstring& column);

  UpdateDatabaseSetup setup_;
  TSQLiteLibrary& sqlite_;
  std::unique_ptr<TSqliteObj> obj_;
  int uses_ = 0;
};

// Serialises every use of the update database in the process.
std::mutex& UpdateDatabaseLock();

// text as an SQL string literal: in single quotes, its own quotes doubled.
std::wstring QuotedSql(const std::wstring& text);

}  // namespace nudgelet::detection
