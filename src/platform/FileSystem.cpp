#include "platform/FileSystem.h"

namespace nudgelet::platform {

bool FileSystem::FileExists(const std::wstring& path) const {
  const auto a = Attributes(path);
  return a && (*a & file_attribute::kDirectory) == 0;
}

bool FileSystem::DirectoryExists(const std::wstring& path) const {
  const auto a = Attributes(path);
  return a && (*a & file_attribute::kDirectory) != 0;
}

}  // namespace nudgelet::platform
