#pragma once
#include "platform/FileSystem.h"

namespace nudgelet::platform::win32 {

class Win32FileSystem final : public FileSystem {
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
  std::optional<FileVersion> FixedFileVersion(const std::wstring& path) const override;
  std::vector<FolderEntry> ListFolder(const std::wstring& folder) const override;
  std::wstring DecodeSystemCodePage(std::string_view bytes) const override;
  std::string EncodeSystemCodePage(std::wstring_view text) const override;
};

}  // namespace nudgelet::platform::win32
