#pragma once
// Files and folders, by Windows path.

#include <cstdint>
#include <optional>
#include <string>

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

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullopt when the path does not exist or cannot be queried.
  virtual std::optional<std::uint32_t> Attributes(const std::wstring& path) const = 0;
  virtual bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const = 0;
  // Creates the folder and every missing parent; true when the folder exists afterwards.
  virtual bool CreateFolders(const std::wstring& path) const = 0;

  bool Exists(const std::wstring& path) const { return Attributes(path).has_value(); }
  bool FileExists(const std::wstring& path) const;
  bool DirectoryExists(const std::wstring& path) const;
};

}  // namespace nudgelet::platform
