#pragma once
// Windows paths on a Linux machine: a folder whose subfolders "C", "D", ...
// stand for the drives. Every path component is looked up without regard to
// case, as Windows does. Paths that are not drive paths (POSIX paths) go to the
// underlying file system unchanged.

#include <string>

#include "platform/FileSystem.h"

namespace nudgelet::platform::posix {

class DriveRootedFileSystem final : public FileSystem {
 public:
  DriveRootedFileSystem(const FileSystem& files, std::wstring root) : files_(files), root_(std::move(root)) {}

  // The POSIX path a Windows path stands for; components that do not exist yet
  // keep the letter case they were given.
  std::wstring Map(const std::wstring& path) const;

  std::optional<std::uint32_t> Attributes(const std::wstring& path) const override {
    return files_.Attributes(Map(path));
  }
  std::optional<FileStamp> Stamp(const std::wstring& path) const override { return files_.Stamp(Map(path)); }
  bool SetAttributes(const std::wstring& path, std::uint32_t a) const override {
    return files_.SetAttributes(Map(path), a);
  }
  bool CreateFolders(const std::wstring& path) const override { return files_.CreateFolders(Map(path)); }
  FileReadResult ReadFile(const std::wstring& path, std::uint64_t maxBytes) const override {
    return files_.ReadFile(Map(path), maxBytes);
  }
  FileReadResult ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count) const override {
    return files_.ReadFilePart(Map(path), offset, count);
  }
  std::uint32_t WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) const override {
    return files_.WriteFileAtomically(Map(path), bytes);
  }
  std::uint32_t CreateFileIfMissing(const std::wstring& path) const override {
    return files_.CreateFileIfMissing(Map(path));
  }
  std::uint32_t RemoveFile(const std::wstring& path) const override { return files_.RemoveFile(Map(path)); }
  std::unique_ptr<AppendableFile> OpenForAppend(const std::wstring& path) const override {
    return files_.OpenForAppend(Map(path));
  }
  std::optional<FileVersion> FixedFileVersion(const std::wstring& path) const override {
    return files_.FixedFileVersion(Map(path));
  }
  std::vector<FolderEntry> ListFolder(const std::wstring& folder) const override {
    return files_.ListFolder(Map(folder));
  }
  std::wstring DecodeSystemCodePage(std::string_view bytes) const override {
    return files_.DecodeSystemCodePage(bytes);
  }
  std::string EncodeSystemCodePage(std::wstring_view text) const override { return files_.EncodeSystemCodePage(text); }

 private:
  const FileSystem& files_;
  std::wstring root_;
};

}  // namespace nudgelet::platform::posix
