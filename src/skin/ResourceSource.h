#pragma once
// Where the package store gets packaged resources from. The program goes
// through uipack.dll (UiPackSource); the tests and tools natively read the
// packages themselves (InProcessSource). Both take resource names such as
// ":/classic/images/btn_close_normal.png" and folders such as ":/public/".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nudgelet::skin {

struct FolderListing {
  std::vector<std::wstring> folders;
  std::vector<std::wstring> files;
};

class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // Makes the source usable (loads the library on first use); false when it cannot be.
  virtual bool Load() = 0;
  virtual void Register(const std::wstring& packagePath) = 0;
  virtual void Unregister(const std::wstring& packagePath) = 0;
  // nullopt when no registered package holds the file.
  virtual std::optional<std::vector<std::uint8_t>> Read(const std::wstring& name) = 0;
  // nullopt when no registered package holds the folder.
  virtual std::optional<FolderListing> List(const std::wstring& folder) = 0;
};

}  // namespace nudgelet::skin
