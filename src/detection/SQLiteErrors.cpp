#include "detection/SQLiteErrors.h"

#include "base/Strings.h"

namespace nudgelet::detection {

ESQLiteException::ESQLiteException(std::wstring message)
    : std::runtime_error(WideToUtf8(message)), message_(std::move(message)) {}

namespace sqlite_text {

std::wstring FieldNotFoundInEmptyDataset(std::wstring_view name) {
  return L"Field " + std::wstring(name) + L" Not found. Empty dataset";
}

std::wstring FieldNotFound(std::wstring_view name) { return L"Field not found in dataset: " + std::wstring(name); }

std::wstring FailedToOpen(std::wstring_view path, const char* sqliteMessage) {
  return L"Failed to open database \"" + std::wstring(path) + L"\" : " +
         (sqliteMessage ? Utf8ToWide(sqliteMessage) : std::wstring(L"unknown error"));
}

}  // namespace sqlite_text

std::wstring SqliteErrorDescription(int code) {
  switch (code) {
    case 0:
      return L"Successful result";
    case 1:
      return L"SQL error or missing database";
    case 2:
      return L"An internal logic error in SQLite";
    case 3:
      return L"Access permission denied";
    case 4:
      return L"Callback routine requested an abort";
    case 5:
      return L"The database file is locked";
    case 6:
      return L"A table in the database is locked";
    case 7:
      return L"A malloc() failed";
    case 8:
      return L"Attempt to write a readonly database";
    case 9:
      return L"Operation terminated by sqlite3_interrupt()";
    case 10:
      return L"Some kind of disk I/O error occurred";
    case 11:
      return L"The database disk image is malformed";
    case 12:
      return L"(Internal Only) Table or record not found";
    case 13:
      return L"Insertion failed because database is full";
    case 14:
      return L"Unable to open the database file";
    case 15:
      return L"Database lock protocol error";
    case 16:
      return L"Database is empty";
    case 17:
      return L"The database schema changed";
    case 18:
      return L"Too much data for one row of a table";
    case 19:
      return L"Abort due to contraint violation";
    case 20:
      return L"Data type mismatch";
    case 21:
      return L"Library used incorrectly";
    case 22:
      return L"Uses OS features not supported on host";
    case 23:
      return L"Authorization denied";
    case 24:
      return L"Auxiliary database format error";
    case 25:
      return L"2nd parameter to sqlite3_bind out of range";
    case 26:
      return L"File opened that is not a database file";
    case 100:
      return L"sqlite3_step() has another row ready";
    case 101:
      return L"sqlite3_step() has finished executing";
    default:
      return L"Unknown SQLite Error Code \"" + std::to_wstring(code) + L"\"";
  }
}

std::wstring ComposeSqliteError(std::wstring_view message, int errorCode, const char* sqliteMessage,
                                std::string_view sqlUtf8) {
  std::wstring text(message);
  if (errorCode != 0 && sqliteMessage) {
    text += L".\rError [" + std::to_wstring(errorCode) + L"]: " + SqliteErrorDescription(errorCode) + L".\r\"" +
            Utf8ToWide(sqlUtf8) + L"\": " + Utf8ToWide(sqliteMessage);
  }
  return text;
}

}  // namespace nudgelet::detection
