#include "skin/InProcessSource.h"

namespace nudgelet::skin {

void InProcessSource::Register(const std::wstring& packagePath) {
  const uipack::PackageLimits limits;
  auto read = files_.ReadFile(packagePath, limits.maxPackageBytes);
  if (read.error != 0) return;
  try {
    packages_.Register(packagePath, std::move(read.bytes), limits);
  } catch (const uipack::PackageError&) {
    // A damaged package is no package: its resources stay unreadable and
    // whatever was registered under that path before stays as it was.
  }
}

void InProcessSource::Unregister(const std::wstring& packagePath) { packages_.Unregister(packagePath); }

std::optional<std::vector<std::uint8_t>> InProcessSource::Read(const std::wstring& name) {
  return packages_.Read(name);
}

std::optional<FolderListing> InProcessSource::List(const std::wstring& folder) {
  auto listing = packages_.List(folder);
  if (!listing) return std::nullopt;
  return FolderListing{std::move(listing->folders), std::move(listing->files)};
}

}  // namespace nudgelet::skin
