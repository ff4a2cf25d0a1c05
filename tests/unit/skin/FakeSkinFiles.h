#pragma once
// Loose files in memory for the package store's tests, and packages written
// into them. Paths compare as Windows paths: case ignored, "/" as "\".

#include <map>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "skin/LooseFiles.h"
#include "uipack/PackageBuilder.h"

namespace nudgelet::skin::testing {

class MemoryFiles final : public LooseFiles {
 public:
  void Add(const std::wstring& path, const std::string& content) { files_[Key(path)] = {content.begin(), content.end()}; }
  void Add(const std::wstring& path, std::vector<std::uint8_t> bytes) { files_[Key(path)] = std::move(bytes); }
  void Remove(const std::wstring& path) { files_.erase(Key(path)); }
  void AddFolder(const std::wstring& path) { folders_[Key(path)] = true; }

  bool FileExists(const std::wstring& path) const override { return files_.count(Key(path)) != 0; }
  bool FolderExists(const std::wstring& path) const override {
    const auto k = Key(path);
    if (folders_.count(k)) return true;
    for (const auto& [file, bytes] : files_) {
      if (file.size() > k.size() && file.compare(0, k.size(), k) == 0 && file[k.size()] == L'\\') return true;
    }
    return false;
  }
  std::optional<std::vector<std::uint8_t>> Read(const std::wstring& path, std::uint64_t maxBytes) const override {
    const auto it = files_.find(Key(path));
    if (it == files_.end() || it->second.size() > maxBytes) return std::nullopt;
    return it->second;
  }
  std::vector<FolderEntry> List(const std::wstring& folder) const override {
    std::vector<FolderEntry> out;
    const auto prefix = Key(folder) + L"\\";
    const auto add = [&](const std::wstring& path, bool isFile) {
      if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return;
      const auto rest = path.substr(prefix.size());
      const auto sep = rest.find(L'\\');
      FolderEntry e{rest.substr(0, sep), !isFile || sep != std::wstring::npos};
      for (const auto& o : out) {
        if (o.name == e.name) return;
      }
      out.push_back(e);
    };
    for (const auto& [path, bytes] : files_) add(path, true);
    for (const auto& [path, yes] : folders_) add(path, false);
    return out;
  }

 private:
  static std::wstring Key(std::wstring path) {
    for (auto& c : path) c = c == L'/' ? L'\\' : FoldLower(c);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
  }
  std::map<std::wstring, std::vector<std::uint8_t>> files_;
  std::map<std::wstring, bool> folders_;
};

using uipack::testing::File;
using uipack::testing::Folder;

// A package with one top folder holding the given files ("images/x.png" makes the folder).
inline std::vector<std::uint8_t> Package(const std::u16string& top, const std::vector<std::pair<std::u16string, std::string>>& files) {
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
