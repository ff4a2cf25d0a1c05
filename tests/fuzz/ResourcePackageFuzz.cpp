// libFuzzer target for the skin package reader: whatever the bytes, opening,
// listing, finding and reading must neither crash nor read out of bounds, and
// what is read must be as large as the entry said. (A listed path need not be
// found again: of two entries with one name, the first wins, as in Qt.)
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "uipack/ResourcePackage.h"

namespace {

using nudgelet::uipack::PackageError;
using nudgelet::uipack::PackageLimits;
using nudgelet::uipack::ResourcePackage;

void Check(bool condition) {
  if (!condition) std::abort();
}

void ReadChecked(const ResourcePackage& package, const ResourcePackage::Entry& entry) {
  try {
    Check(package.Read(entry).size() == entry.size);
  } catch (const PackageError&) {
    // Corrupt compressed data is refused when read; that is the expected outcome.
  }
}

void Explore(const ResourcePackage& package) {
  package.ForEachFile([&](const std::wstring& path, const ResourcePackage::Entry& entry) {
    ReadChecked(package, entry);
    const auto found = package.Find(path);
    if (found && !found->folder) ReadChecked(package, *found);
  });
  // Paths with duplicate names lead to the same folder; each is walked once.
  std::set<std::wstring> walked;
  std::vector<std::wstring> folders{L""};
  while (!folders.empty()) {
    const std::wstring folder = folders.back();
    folders.pop_back();
    if (!walked.insert(folder).second) continue;
    const auto listing = package.ListFolder(folder);
    if (!listing) continue;
    for (const auto& name : listing->folders) folders.push_back(folder + L"/" + name);
    for (const auto& name : listing->files) {
      const auto found = package.Find(folder + L"/" + name);
      if (found) package.List(*found);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small limits keep each run fast; the checks they exercise are the same.
  PackageLimits limits;
  limits.maxEntryBytes = 1u << 20;
  limits.maxTotalBytes = 8u << 20;
  try {
    Explore(ResourcePackage::Open(std::vector<std::uint8_t>(data, data + size), limits));
  } catch (const PackageError&) {
  }
  return 0;
}
