#pragma once
// Resources read by this process itself, through the portable package reader:
// what uipack.dll does, without the library.

#include "platform/FileSystem.h"
#include "skin/ResourceSource.h"
#include "uipack/PackageRegistry.h"

namespace nudgelet::skin {

class InProcessSource final : public ResourceSource {
 public:
  explicit InProcessSource(const platform::FileSystem& files) : files_(files) {}

  bool Load() override { return true; }
  // A file that cannot be read or is no acceptable package registers nothing.
  void Register(const std::wstring& packagePath) override;
  void Unregister(const std::wstring& packagePath) override;
  std::optional<std::vector<std::uint8_t>> Read(const std::wstring& name) override;
  std::optional<FolderListing> List(const std::wstring& folder) override;

  const uipack::PackageRegistry& Packages() const { return packages_; }

 private:
  const platform::FileSystem& files_;
  uipack::PackageRegistry packages_;
};

}  // namespace nudgelet::skin
