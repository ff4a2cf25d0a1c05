#pragma once
// Files on disk beside the packages: loose files override packaged resources,
// and package files are looked for under either extension. Paths are Windows
// paths ("\" separators); natively "\" stands for "/".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nudgelet::skin {

struct FolderEntry {
  std::wstring name;
  bool folder = false;
};

class LooseFiles {
 public:
  virtual ~LooseFiles() = default;
  virtual bool FileExists(const std::wstring& path) const = 0;
  virtual bool FolderExists(const std::wstring& path) const = 0;
  // nullopt when the file cannot be read or is larger than maxBytes.
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::wstring& path, std::uint64_t maxBytes) const = 0;
  // The folder's entries without "." and ".."; empty when it cannot be listed.
  virtual std::vector<FolderEntry> List(const std::wstring& folder) const = 0;
};

// The real file system, through std::filesystem (so the same code serves the
// program on Windows and the tools natively).
class DiskFiles final : public LooseFiles {
 public:
  bool FileExists(const std::wstring& path) const override;
  bool FolderExists(const std::wstring& path) const override;
  std::optional<std::vector<std::uint8_t>> Read(const std::wstring& path, std::uint64_t maxBytes) const override;
  std::vector<FolderEntry> List(const std::wstring& folder) const override;
};

}  // namespace nudgelet::skin
