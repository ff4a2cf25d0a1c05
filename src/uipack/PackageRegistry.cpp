#include "uipack/PackageRegistry.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "base/Paths.h"
#include "base/Strings.h"

namespace nudgelet::uipack {
namespace {

bool SameFile(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool bothSeparators = IsPathSeparator(a[i]) && IsPathSeparator(b[i]);
    if (!bothSeparators && a[i] != b[i] && FoldUpper(a[i]) != FoldUpper(b[i])) return false;
  }
  return true;
}

// Qt lists a name once however many packages (or entries of one package) hold it.
void AppendNew(std::vector<std::wstring>& into, std::set<std::wstring>& seen, std::vector<std::wstring>& names) {
  for (auto& name : names) {
    if (seen.insert(name).second) into.push_back(std::move(name));
  }
}

}  // namespace

std::wstring_view PackagePathOf(std::wstring_view resourceName) {
  if (!resourceName.empty() && resourceName.front() == L':') resourceName.remove_prefix(1);
  return resourceName;
}

std::vector<PackageRegistry::Registered>::iterator PackageRegistry::FindFile(std::wstring_view file) {
  return std::find_if(packages_.begin(), packages_.end(), [&](const Registered& r) { return SameFile(r.file, file); });
}

std::vector<PackageRegistry::Registered>::const_iterator PackageRegistry::FindFile(std::wstring_view file) const {
  return std::find_if(packages_.begin(), packages_.end(), [&](const Registered& r) { return SameFile(r.file, file); });
}

void PackageRegistry::Register(std::wstring_view file, std::vector<std::uint8_t> bytes, const PackageLimits& limits) {
  // Parsed outside the lock: readers need not wait for a large package.
  auto package = std::make_shared<const ResourcePackage>(ResourcePackage::Open(std::move(bytes), limits));
  std::unique_lock lock(mutex_);
  if (auto it = FindFile(file); it != packages_.end()) {
    it->package = std::move(package);
  } else {
    packages_.push_back({std::wstring(file), std::move(package)});
  }
}

bool PackageRegistry::Unregister(std::wstring_view file) {
  std::unique_lock lock(mutex_);
  const auto it = FindFile(file);
  if (it == packages_.end()) return false;
  packages_.erase(it);
  return true;
}

bool PackageRegistry::IsRegistered(std::wstring_view file) const {
  std::shared_lock lock(mutex_);
  return FindFile(file) != packages_.end();
}

std::size_t PackageRegistry::Count() const {
  std::shared_lock lock(mutex_);
  return packages_.size();
}

std::optional<std::vector<std::uint8_t>> PackageRegistry::Read(std::wstring_view name) const {
  const auto path = PackagePathOf(name);
  std::shared_ptr<const ResourcePackage> holder;
  std::optional<ResourcePackage::Entry> entry;
  {
    std::shared_lock lock(mutex_);
    for (const auto& r : packages_) {
      entry = r.package->Find(path);
      if (entry && !entry->folder) {
        holder = r.package;
        break;
      }
    }
  }
  if (!holder) return std::nullopt;
  // Inflating happens outside the lock; the shared pointer keeps the package
  // alive should it be unregistered meanwhile.
  try {
    return holder->Read(*entry);
  } catch (const PackageError&) {
    return std::nullopt;
  }
}

std::optional<ResourcePackage::Listing> PackageRegistry::List(std::wstring_view folder) const {
  const auto path = PackagePathOf(folder);
  std::optional<ResourcePackage::Listing> merged;
  std::set<std::wstring> seenFolders;
  std::set<std::wstring> seenFiles;
  std::shared_lock lock(mutex_);
  for (const auto& r : packages_) {
    auto listing = r.package->ListFolder(path);
    if (!listing) continue;
    if (!merged) merged.emplace();
    AppendNew(merged->folders, seenFolders, listing->folders);
    AppendNew(merged->files, seenFiles, listing->files);
  }
  return merged;
}

}  // namespace nudgelet::uipack
