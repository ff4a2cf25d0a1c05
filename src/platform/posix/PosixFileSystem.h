#pragma once
// The file system of the native build, so that code which hands paths to
// other libraries (SQLite opens its files itself) can be exercised on real files.
// Paths are POSIX paths, with "\" standing for "/" so that paths the portable
// code builds the Windows way work too; error codes are mapped to the Windows codes the
// interface promises.
#include "platform/FileSystem.h"

namespace nudgelet::platform::posix {

class PosixFileSystem final : public FileSystem {
 public:
  std::optional<std::uint32_t> Attributes(const std::wstring& path) const override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const override;
  bool CreateFolders(const std::wstring& path) const override;
  std::optional<FileStamp> Stamp(const std::wstring& path) const override;
  FileReadResult ReadFile(const std::wstring& path, std::uint64_t maxBytes) const override;
  FileReadResult ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count) const override;
  std::uint32_t WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) const override;
  std::uint32_t CreateFileIfMissing(const std::wstring& path) const override;
  std::uint32_t RemoveFile(const std::wstring& path) const override;
  std::unique_ptr<AppendableFile> OpenForAppend(const std::wstring& path) const override;
  // From the version resource of a Windows executable (none for other files).
  std::optional<FileVersion> FixedFileVersion(const std::wstring& path) const override;
  std::vector<FolderEntry> ListFolder(const std::wstring& folder) const override;
  // The native "code page" is UTF-8.
  std::wstring DecodeSystemCodePage(std::string_view bytes) const override;
  std::string EncodeSystemCodePage(std::wstring_view text) const override;
};

}  // namespace nudgelet::platform::posix
