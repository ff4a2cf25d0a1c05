#pragma once
// The SQLite layer's one exception type, its fixed message texts, and the
// composer that adds SQLite's own diagnosis to them.

#include <stdexcept>
#include <string>
#include <string_view>

namespace nudgelet::detection {

// Carries the message as UTF-16 text for the program; what() gives it as UTF-8.
class ESQLiteException : public std::runtime_error {
 public:
  explicit ESQLiteException(std::wstring message);
  const std::wstring& Message() const { return message_; }

 private:
  std::wstring message_;
};

namespace sqlite_text {
inline constexpr wchar_t kTableAtEnd[] = L"Table is at End of File";
inline constexpr wchar_t kNotNumeric[] = L"Not an integer or numeric field";
inline constexpr wchar_t kNotBlob[] = L"Not a Blob field";
inline constexpr wchar_t kErrorExecuting[] = L"Error executing SQL";
inline constexpr wchar_t kCouldNotPrepare[] = L"Could not prepare SQL statement";
inline constexpr wchar_t kErrorExecutingStatement[] = L"Error executing SQL statement";
inline constexpr wchar_t kCouldNotRetrieve[] = L"Could not retrieve data";
inline constexpr wchar_t kBindText[] = L"Could not bind text";
inline constexpr wchar_t kBindInteger[] = L"Could not bind integer";
inline constexpr wchar_t kBindInt64[] = L"Could not bind int64";
inline constexpr wchar_t kBindExtended[] = L"Could not bind extended";
inline constexpr wchar_t kBindBoolean[] = L"Could not bind boolean";
inline constexpr wchar_t kBindNull[] = L"Could not bind null";
inline constexpr wchar_t kBindBlob[] = L"Could not bind BLOB";
inline constexpr wchar_t kUnhandledPointer[] = L"Unhandled pointer (<> nil)";
inline constexpr wchar_t kBlobMemory[] = L"Error getting memory to save blob";
// The binder's values are typed (SqlValue), so the kinds of value these three
// texts describe cannot reach it; the texts are kept so that the layer's whole
// vocabulary is defined in one place.
inline constexpr wchar_t kUnknownStringType[] = L"Unknown string-type";
inline constexpr wchar_t kUnhandledObject[] = L"Unhandled object-type in binding";
inline constexpr wchar_t kUnhandledBinding[] = L"Unhandled binding";

// "Field " + name + " Not found. Empty dataset"
std::wstring FieldNotFoundInEmptyDataset(std::wstring_view name);
// "Field not found in dataset: " + name
std::wstring FieldNotFound(std::wstring_view name);
// Failed to open database "<path>" : <SQLite's message, or "unknown error" without a connection>
std::wstring FailedToOpen(std::wstring_view path, const char* sqliteMessage);
}  // namespace sqlite_text

// What SQLite's primary result code means; unknown codes are named as such.
std::wstring SqliteErrorDescription(int code);

// The message, extended when SQLite has something to say: with a non-zero
// error code and a message from SQLite the text becomes
//   message ".\rError [" code "]: " description ".\r\"" sql "\": " sqliteMessage
std::wstring ComposeSqliteError(std::wstring_view message, int errorCode, const char* sqliteMessage,
                                std::string_view sqlUtf8);

}  // namespace nudgelet::detection
