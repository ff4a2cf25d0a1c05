#pragma once
// Loose files in memory for the package store's tests, and packages written
// into them. Paths compare as Windows paths, case ignored.

#include <map>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "support/FakePlatform.h"
#include "uipack/PackageBuilder.h"

namespace nudgelet::skin::testing {

// The shared in-memory files, with the shorthands the skin tests write packages with.
class MemoryFiles final : public nudgelet::testing::InMemoryFileSystem {
 public:
  void Add(const std::wstring& path, const std::string& content) { AddFile(path, {content.begin(), content.end()}); }
  void Add(const std::wstring& path, std::vector<std::uint8_t> bytes) { AddFile(path, std::move(bytes)); }
  void Remove(const std::wstring& path) { RemoveFile(path); }
};

using uipack::testing::File;
using uipack::testing::Folder;

// A package with one top folder holding the given files ("images/x.png" makes the folder).
inline std::vector<std::uint8_t> Package(const std::u16string& top,
                                         const std::vector<std::pair<std::u16string, std::string>>& files) {
  uipack::testing::TestEntry topFolder = Folder(top, {});
  for (const auto& [path, content] : files) {
    auto* at = &topFolder;
    std::u16string rest = path;
    for (auto slash = rest.find(u'/'); slash != std::u16string::npos; slash = rest.find(u'/')) {
      const auto name = rest.substr(0, slash);
      rest = rest.substr(slash + 1);
      auto it = std::find_if(at->children.begin(), at->children.end(), [&](const auto& c) { return c.name == name; });
      if (it == at->children.end()) {
        at->children.push_back(Folder(name, {}));
        it = at->children.end() - 1;
      }
      at = &*it;
    }
    at->children.push_back(File(rest, content));
  }
  return uipack::testing::BuildPackage(Folder(u"", {topFolder})).bytes;
}

}  // namespace nudgelet::skin::testing
