#pragma once
// nudgelet-db: makes and opens update databases in the product's stored form
// (Base64 of AES-128-ECB of the SQLite file, key from the product password).
//
//   nudgelet-db build SQLFILE OUT.dbd       runs the SQL into a fresh SQLite file and enciphers it
//   nudgelet-db encipher SQLITE OUT.dbd     enciphers an existing SQLite file
//   nudgelet-db decipher IN.dbd OUT.sqlite  the reverse

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Crypto.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"

namespace nudgelet::tools {

struct DbToolServices {
  const platform::FileSystem& files;
  const platform::DynamicLibraries& libraries;
  const platform::Crypto& crypto;
  std::wstring sqliteLibrary;
};

inline constexpr int kExitBadInput = 2;
inline constexpr int kExitFailure = 1;

// A one-line reason and the exit code that goes with it.
class DbToolError : public std::runtime_error {
 public:
  DbToolError(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
  int ExitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

void BuildDatabase(const DbToolServices& s, const std::wstring& sqlFile, const std::wstring& out);
void BuildDatabaseFromSql(const DbToolServices& s, const std::string& sqlUtf8, const std::wstring& out);
void EncipherFile(const DbToolServices& s, const std::wstring& sqliteFile, const std::wstring& out);
void DecipherFile(const DbToolServices& s, const std::wstring& in, const std::wstring& out);

// The command line without the program name; errors go to `errors` as one line each.
int RunDbTool(const std::vector<std::wstring>& args, const DbToolServices& s, std::ostream& errors);

}  // namespace nudgelet::tools
