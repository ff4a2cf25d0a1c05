#pragma once
// The packages registered in the process, by file, and the resource names that
// reach into them: ":/public/main.ini", folders ":/classic/images/".
//
// Precedence: when several packages hold the same name, the one registered
// first wins, as in Qt's own list of registered resources; folder listings merge
// every package's entries, first occurrence first. Registering a file that is
// already registered replaces its contents in place and keeps its precedence.
//
// Safe to use from several threads at once.

#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "uipack/ResourcePackage.h"

namespace nudgelet::uipack {

class PackageRegistry {
 public:
  // Files are told apart by path, compared without regard to case and with "/"
  // and "\" alike. Throws PackageError for bytes that are no acceptable package;
  // an earlier registration of the same file then stays as it was.
  void Register(std::wstring_view file, std::vector<std::uint8_t> bytes, const PackageLimits& limits = {});
  // False when the file was not registered.
  bool Unregister(std::wstring_view file);
  bool IsRegistered(std::wstring_view file) const;
  std::size_t Count() const;

  // The bytes of a resource file; nullopt when no package holds a file of that
  // name, or when the first one that does holds corrupt data for it.
  std::optional<std::vector<std::uint8_t>> Read(std::wstring_view name) const;
  // nullopt when no package holds the folder.
  std::optional<ResourcePackage::Listing> List(std::wstring_view folder) const;

 private:
  struct Registered {
    std::wstring file;
    std::shared_ptr<const ResourcePackage> package;
  };

  std::vector<Registered>::iterator FindFile(std::wstring_view file);
  std::vector<Registered>::const_iterator FindFile(std::wstring_view file) const;

  mutable std::shared_mutex mutex_;
  std::vector<Registered> packages_;  // in order of precedence
};

// The path inside a package that a resource name stands for: ":/public/x.ini" -> "/public/x.ini".
std::wstring_view PackagePathOf(std::wstring_view resourceName);

}  // namespace nudgelet::uipack
