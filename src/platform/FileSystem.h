#pragma once
// Files and folders, by Windows path.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet::platform {

// Windows file attribute bits the product looks at.
namespace file_attribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
}  // namespace file_attribute

// Windows error codes the portable code hands on or compares with.
namespace os_error {
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kPathNotFound = 3;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kInvalidData = 13;
inline constexpr std::uint32_t kSharingViolation = 32;
inline constexpr std::uint32_t kFileTooLarge = 223;
}  // namespace os_error

struct FileReadResult {
  std::vector<std::uint8_t> bytes;
  std::uint32_t error = 0;  // 0 on success, else the Windows error code
};

// A file opened (or created) for appending at its end.
class AppendableFile {
 public:
  virtual ~AppendableFile() = default;
  virtual std::uint64_t Size() const = 0;
  virtual bool Append(const std::vector<std::uint8_t>& bytes) = 0;
};

// What tells one state of a file from another without reading it.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;  // 100 ns units since 1601, as Windows keeps it
  bool operator==(const FileStamp&) const = default;
};

// One entry of a folder listing.
struct FolderEntry {
  std::wstring name;
  bool folder = false;
};

// The fixed file version of an executable: major, minor, release, build.
using FileVersion = std::array<std::uint16_t, 4>;

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullopt when the path does not exist or cannot be queried.
  virtual std::optional<std::uint32_t> Attributes(const std::wstring& path) const = 0;
  virtual bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const = 0;
  // Creates the folder and every missing parent; true when the folder exists afterwards.
  virtual bool CreateFolders(const std::wstring& path) const = 0;
  // nullopt when the path is no file or cannot be queried.
  virtual std::optional<FileStamp> Stamp(const std::wstring& path) const = 0;

  // The whole file, opened with sharing for everyone so that a file another
  // program holds open can still be read. Larger files fail with kFileTooLarge.
  virtual FileReadResult ReadFile(const std::wstring& path, std::uint64_t maxBytes) const = 0;
  // At most count bytes from offset on (fewer at the end of the file), shared like ReadFile.
  virtual FileReadResult ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count) const = 0;
  // Replaces the file's content in one step: the bytes go to a temporary file in
  // the same folder, are flushed, and the temporary file is moved over the
  // original. Returns 0 or the Windows error code; on failure the original is
  // untouched and no temporary file stays behind.
  virtual std::uint32_t WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) const = 0;
  // Creates the file, empty, when it does not exist; returns 0 or the error code.
  virtual std::uint32_t CreateFileIfMissing(const std::wstring& path) const = 0;
  // Deletes the file; returns 0 or the Windows error code (kSharingViolation while
  // another process holds it open without delete sharing).
  virtual std::uint32_t RemoveFile(const std::wstring& path) const = 0;
  // nullptr when the file can be neither opened nor created.
  virtual std::unique_ptr<AppendableFile> OpenForAppend(const std::wstring& path) const = 0;
  // The fixed version from the file's version resource; nullopt when it has none.
  virtual std::optional<FileVersion> FixedFileVersion(const std::wstring& path) const = 0;
  // The folder's entries without "." and ".."; empty when it cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::wstring& folder) const = 0;
  // How this system reads text without a byte-order mark (its ANSI code page).
  virtual std::wstring DecodeSystemCodePage(std::string_view bytes) const = 0;
  // The reverse; characters the code page lacks become "?".
  virtual std::string EncodeSystemCodePage(std::wstring_view text) const = 0;

  bool Exists(const std::wstring& path) const { return Attributes(path).has_value(); }
  bool FileExists(const std::wstring& path) const;
  bool DirectoryExists(const std::wstring& path) const;
};

}  // namespace nudgelet::platform
