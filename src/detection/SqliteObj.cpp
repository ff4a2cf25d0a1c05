#include "detection/SqliteObj.h"

#include "base/Paths.h"
#include "detection/CatalogueSnapshot.h"
#include "detection/DatabaseCipher.h"
#include "detection/SQLiteErrors.h"
#include "settings/TextFile.h"

namespace nudgelet::detection {
namespace {

// The name after the last folder delimiter; both delimiters count, so the
// native build's paths work too.
std::wstring FileNameOf(const std::wstring& path) { return ExtractFileName(ToBackslashes(path)); }

}  // namespace

UpdateDatabaseSetup UpdateDatabaseSetupFor(const platform::Platform& p, const platform::Crypto& crypto) {
  return UpdateDatabaseSetup{p.files, p.libraries, crypto, ExtractFilePath(p.folders.ExecutablePath()) + L"sqlite3.dll",
                             IncludeTrailingBackslash(p.folders.TempPath())};
}

std::wstring EncipheredDatabasePath(const std::wstring& programFolder) {
  return programFolder + L"Database\\VessaUpdate.dbd";
}

TSqliteObj::TSqliteObj(const UpdateDatabaseSetup& setup, const TSQLiteLibrary& sqlite, const std::wstring& path)
    : copyPath_(setup.tempFolder + FileNameOf(path)) {
  const platform::FileSystem& files = setup.files;
  // A copy that cannot be deleted is held open by another running instance,
  // which deciphered the same file: use it as it is.
  const bool copyInUse = files.Exists(copyPath_) && files.RemoveFile(copyPath_) != 0;
  std::wstring openName;
  if (copyInUse) {
    openName = copyPath_;
  } else if (files.Exists(path)) {
    // What was kept of the last copy's rows is not the new copy's.
    files.RemoveFile(CatalogueSnapshotPathFor(copyPath_));
    if (!DecipherDatabaseFile(files, setup.crypto, path, copyPath_, kDatabasePassword, kDatabaseKeyBits))
      throw ESQLiteException(kCantDecryptDatabase);
    openName = copyPath_;
  }
  // Without the enciphered file SQLite gets an empty name: a private temporary
  // database, so every query simply finds nothing.
  db_ = std::make_unique<TSQLiteDatabase>(sqlite, openName, path);
  openPath_ = openName;
  db_->LimitStatements(setup.maxResultBytes, setup.maxThousandInstructions);
  // Matching reads the copy from end to end once, and then a few hundred rows
  // by their row id: pages read once need no cache, only the tables' inner
  // pages do. Read, not mapped: a mapped copy would be resident whole.
  db_->Tune("PRAGMA cache_size=-512");
  db_->DecodeCodePage = [fs = &files](std::string_view bytes) { return fs->DecodeSystemCodePage(bytes); };
}

}  // namespace nudgelet::detection
