#include "DbTool.h"

#include <cstring>

#include "base/Strings.h"
#include "detection/DatabaseCipher.h"
#include "detection/SQLiteDatabase.h"
#include "detection/SQLiteErrors.h"

namespace nudgelet::tools {

using namespace detection;

namespace {

constexpr char kSqliteMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
constexpr std::uint64_t kMaxInputBytes = 1ull << 30;

std::string Shown(const std::wstring& path) { return WideToUtf8(path); }

// SQLite's composed messages break lines with CR; the tool's errors are one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

std::vector<std::uint8_t> ReadInput(const DbToolServices& s, const std::wstring& path) {
  platform::FileReadResult read = s.files.ReadFile(path, kMaxInputBytes);
  if (read.error == platform::os_error::kFileTooLarge)
    throw DbToolError(kExitBadInput, Shown(path) + ": too large for an update database");
  if (read.error != 0 || !s.files.FileExists(path))
    throw DbToolError(kExitBadInput, Shown(path) + ": cannot read the file (error " + std::to_string(read.error) + ")");
  return std::move(read.bytes);
}

void WriteOutput(const DbToolServices& s, const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  if (const std::uint32_t error = s.files.WriteFileAtomically(path, bytes))
    throw DbToolError(kExitFailure, Shown(path) + ": cannot write the file (error " + std::to_string(error) + ")");
}

bool IsSqliteFile(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= sizeof kSqliteMagic && std::memcmp(bytes.data(), kSqliteMagic, sizeof kSqliteMagic) == 0;
}

std::vector<std::uint8_t> ProductKey() { return *DatabaseKey(kDatabasePassword, kDatabaseKeyBits); }

void EncipherBytes(const DbToolServices& s, std::vector<std::uint8_t> plain, const std::wstring& out) {
  const auto text = EncipherDatabaseBytes(s.crypto, ProductKey(), std::move(plain));
  if (!text) throw DbToolError(kExitFailure, "the crypto provider failed");
  WriteOutput(s, out, std::vector<std::uint8_t>(text->begin(), text->end()));
}

}  // namespace

void BuildDatabaseFromSql(const DbToolServices& s, const std::string& sqlUtf8, const std::wstring& out) {
  TSQLiteLibrary sqlite;
  sqlite.SetLibraryPath(s.sqliteLibrary);
  sqlite.BindLibrary(s.files, s.libraries);
  if (!sqlite.IsBound("sqlite3_open"))
    throw DbToolError(kExitFailure, "cannot load SQLite from " + Shown(s.sqliteLibrary));

  // A fresh file beside the output, gone again afterwards whatever happens.
  const std::wstring scratch = out + L".build.sqlite";
  s.files.RemoveFile(scratch);
  struct Cleanup {
    const platform::FileSystem& files;
    const std::wstring& path;
    ~Cleanup() {
      files.RemoveFile(path);
      files.RemoveFile(path + L"-journal");
    }
  } cleanup{s.files, scratch};

  std::string sql = sqlUtf8;
  if (sql.rfind("\xEF\xBB\xBF", 0) == 0) sql.erase(0, 3);
  try {
    TSQLiteDatabase db(sqlite, scratch, scratch);
    db.ExecuteScript(sql);
  } catch (const ESQLiteException& e) {
    throw DbToolError(kExitBadInput, OneLine(e.what()));
  }
  EncipherBytes(s, ReadInput(s, scratch), out);
}

void BuildDatabase(const DbToolServices& s, const std::wstring& sqlFile, const std::wstring& out) {
  const std::vector<std::uint8_t> sql = ReadInput(s, sqlFile);
  try {
    BuildDatabaseFromSql(s, std::string(sql.begin(), sql.end()), out);
  } catch (const DbToolError& e) {
    if (e.ExitCode() != kExitBadInput) throw;
    throw DbToolError(kExitBadInput, Shown(sqlFile) + ": " + e.what());
  }
}

void EncipherFile(const DbToolServices& s, const std::wstring& sqliteFile, const std::wstring& out) {
  std::vector<std::uint8_t> plain = ReadInput(s, sqliteFile);
  if (!IsSqliteFile(plain)) throw DbToolError(kExitBadInput, Shown(sqliteFile) + ": not a SQLite database");
  EncipherBytes(s, std::move(plain), out);
}

void DecipherFile(const DbToolServices& s, const std::wstring& in, const std::wstring& out) {
  std::vector<std::uint8_t> bytes = ReadInput(s, in);
  try {
    if (!DecipherDatabaseBytes(s.crypto, ProductKey(), bytes))
      throw DbToolError(kExitFailure, "the crypto provider failed");
  } catch (const EAESError&) {
    throw DbToolError(kExitBadInput, Shown(in) + ": the Base64 text does not decode to whole 16-byte cipher blocks");
  }
  if (!IsSqliteFile(bytes)) throw DbToolError(kExitBadInput, Shown(in) + ": does not decipher to a SQLite database");
  WriteOutput(s, out, bytes);
}

int RunDbTool(const std::vector<std::wstring>& args, const DbToolServices& s, std::ostream& errors) {
  try {
    if (args.size() == 3 && args[0] == L"build") {
      BuildDatabase(s, args[1], args[2]);
    } else if (args.size() == 3 && args[0] == L"encipher") {
      EncipherFile(s, args[1], args[2]);
    } else if (args.size() == 3 && args[0] == L"decipher") {
      DecipherFile(s, args[1], args[2]);
    } else {
      throw DbToolError(kExitBadInput,
                        "usage: nudgelet-db build SQLFILE OUT.dbd | encipher SQLITE OUT.dbd | decipher IN.dbd "
                        "OUT.sqlite");
    }
  } catch (const DbToolError& e) {
    errors << "nudgelet-db: " << e.what() << '\n';
    return e.ExitCode();
  } catch (const std::exception& e) {
    errors << "nudgelet-db: " << OneLine(e.what()) << '\n';
    return kExitFailure;
  }
  return 0;
}

}  // namespace nudgelet::tools
