#pragma once
// The file system as the 32-bit program the product's rules were written for
// saw it: on 64-bit Windows its access to the system folder went to SysWOW64,
// and "Sysnative" reached the real one. Detection reads the registry as that
// program did, so it must look for the files those entries name the same way,
// or a program installed below System32 is judged by the wrong executable.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::detection {

class TRedirectedFiles final : public platform::FileSystem {
 public:
  // Wrapping a view again wraps what it wraps: a path is mapped once only.
  TRedirectedFiles(const platform::FileSystem& files, const platform::SpecialFolders& folders,
                   const platform::SystemFacts& system);
  TRedirectedFiles(const TRedirectedFiles&) = delete;
  TRedirectedFiles& operator=(const TRedirectedFiles&) = delete;

  std::wstring Map(const std::wstring& path) const;
  const platform::FileSystem& Inner() const { return files_; }

  std::optional<std::uint32_t> Attributes(const std::wstring& path) const override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const override;
  bool CreateFolders(const std::wstring& path) const override;
  std::optional<platform::FileStamp> Stamp(const std::wstring& path) const override;
  platform::FileReadResult ReadFile(const std::wstring& path, std::uint64_t maxBytes) const override;
  platform::FileReadResult ReadFilePart(const std::wstring& path, std::uint64_t offset,
                                        std::size_t count) const override;
  std::uint32_t WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) const override;
  std::uint32_t CreateFileIfMissing(const std::wstring& path) const override;
  std::uint32_t RemoveFile(const std::wstring& path) const override;
  std::unique_ptr<platform::AppendableFile> OpenForAppend(const std::wstring& path) const override;
  std::optional<platform::FileVersion> FixedFileVersion(const std::wstring& path) const override;
  std::vector<platform::FolderEntry> ListFolder(const std::wstring& folder) const override;
  std::wstring DecodeSystemCodePage(std::string_view bytes) const override;
  std::string EncodeSystemCodePage(std::wstring_view text) const override;

 private:
  const platform::FileSystem& files_;
  std::wstring windowsDirectory_;
  bool is64BitWindows_;
};

// The platform p with its files seen through the redirection (held by files).
inline platform::Platform WithRedirectedFiles(const platform::Platform& p, const TRedirectedFiles& files) {
  return platform::Platform{p.registry, p.processes, p.folders, p.system, p.libraries, p.shell, files};
}

}  // namespace nudgelet::detection
