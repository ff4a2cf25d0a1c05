#pragma once
// The deciphered copy of the update database, open for queries. The copy lives
// in the temporary folder and outlives the run; the next open replaces it, or
// reuses it when another running instance still holds it open.

#include <memory>
#include <string>

#include "detection/SQLiteDatabase.h"
#include "platform/Crypto.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

// What the update database needs from the system.
struct UpdateDatabaseSetup {
  const platform::FileSystem& files;
  const platform::DynamicLibraries& libraries;
  const platform::Crypto& crypto;
  // The SQLite library: a path, or natively a name for the linker's search.
  std::wstring sqliteLibrary;
  // Where the deciphered copy goes; ends with a delimiter.
  std::wstring tempFolder;
  // What one query may cost at most. The answers are a few short texts, and a
  // full scan of SoftBase takes about four instructions a row (200 thousand
  // for 50,000 products); a file built to make SQLite loop or produce rows
  // without end stops here instead.
  std::size_t maxResultBytes = 16u << 20;
  std::uint64_t maxThousandInstructions = 10'000;
};

// The program's own: "sqlite3.dll" beside the program, the system's temporary folder.
UpdateDatabaseSetup UpdateDatabaseSetupFor(const platform::Platform& p, const platform::Crypto& crypto);

// programFolder (with its trailing delimiter) + "Database\VessaUpdate.dbd".
std::wstring EncipheredDatabasePath(const std::wstring& programFolder);

inline constexpr wchar_t kCantDecryptDatabase[] = L"Failed to open database,Cant Decrypt Database.";

class TSqliteObj {
 public:
  // The decrypting open of `path` (the enciphered file). Raises
  // ESQLiteException when the copy cannot be made or opened, EAESError when the
  // file is not a whole number of cipher blocks or cannot be read or copied.
  TSqliteObj(const UpdateDatabaseSetup& setup, const TSQLiteLibrary& sqlite, const std::wstring& path);

  TSQLiteDatabase& Database() { return *db_; }
  const std::wstring& CopyPath() const { return copyPath_; }
  // The file SQLite has open: the copy, or "" for none.
  const std::wstring& OpenPath() const { return openPath_; }

 private:
  std::wstring copyPath_;
  std::wstring openPath_;
  std::unique_ptr<TSQLiteDatabase> db_;
};

}  // namespace nudgelet::detection
