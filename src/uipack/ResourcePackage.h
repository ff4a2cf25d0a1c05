#pragma once
// Reader of skin packages: Qt's binary resource files as `rcc -binary` writes them
// (header "qres", format versions 1 to 3), with entries stored raw or
// zlib-compressed.
//
// Packages come from disk and are not trusted. Open() checks the whole reachable
// tree once: every offset and length against the file, every name against its
// stored hash, the tree's shape (each node has one parent and comes after it) and
// the sizes that entries declare. A package that passes can be looked up and
// listed without further checks; only compressed data is checked when it is
// inflated, since that is where the work is.

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace nudgelet::uipack {

// A malformed or unsupported package, or an entry whose data does not inflate as declared.
class PackageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds on what one package may ask of the reader. The defaults are far above
// any skin and far below what would hurt the process.
struct PackageLimits {
  std::uint64_t maxPackageBytes = 256u << 20;
  // Content size of one entry (its inflated size when compressed).
  std::uint32_t maxEntryBytes = 32u << 20;
  // Sum of the content sizes of all entries.
  std::uint64_t maxTotalBytes = 256u << 20;
  // Folder levels below the root.
  std::uint32_t maxDepth = 64;
  // Files and folders, the root included. Each costs a table entry of some
  // 50 bytes, so the tree's size alone would let a package ask for several
  // times its own size in memory.
  std::uint32_t maxEntries = 1u << 20;
};

// Qt's name hash over UTF-16 code units; every name in a package carries it.
std::uint32_t QtNameHash(std::u16string_view name);

class ResourcePackage {
 public:
  // An entry found in the package; valid for the package that gave it.
  struct Entry {
    std::uint32_t index = 0;
    bool folder = false;
    bool compressed = false;
    // Content size in bytes (the inflated size when compressed); 0 for folders.
    std::uint32_t size = 0;
  };

  struct Listing {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
  };

  // Takes the package's bytes. Throws PackageError when they are not a package
  // that this reader accepts.
  static ResourcePackage Open(std::vector<std::uint8_t> bytes, const PackageLimits& limits = {});

  int FormatVersion() const { return version_; }
  std::size_t EntryCount() const { return nodes_.size(); }

  // Paths are relative to the package's root: "public/main.ini". "/" and "\"
  // separate names; empty names and "." are skipped and ".." goes up one folder,
  // as in Qt's cleaned paths. Names compare exactly, code unit for code unit; of
  // several entries with the same name in one folder the first one counts.
  // The empty path is the root folder.
  std::optional<Entry> Find(std::wstring_view path) const;

  // The entry's content. Throws PackageError when compressed data is corrupt or
  // does not inflate to exactly the declared size, std::invalid_argument for a folder.
  std::vector<std::uint8_t> Read(const Entry& entry) const;
  // Sub-folders and files of a folder, in package order. Empty for a file.
  Listing List(const Entry& entry) const;

  // Shorthands: nullopt when the path names no file (no folder).
  std::optional<std::vector<std::uint8_t>> ReadFile(std::wstring_view path) const;
  std::optional<Listing> ListFolder(std::wstring_view path) const;

  // Every file below the root with its path ("public/images/x.png"), depth first.
  void ForEachFile(const std::function<void(const std::wstring& path, const Entry& entry)>& visit) const;

 private:
  struct Node {
    std::uint32_t nameStart = 0;  // into names_
    std::uint16_t nameLength = 0;
    std::uint16_t flags = 0;
    std::uint32_t hash = 0;
    // Folders: children are nodes_[firstChild, firstChild + childCount).
    std::uint32_t firstChild = 0;
    std::uint32_t childCount = 0;
    bool childrenSortedByHash = false;
    // Files: the stored bytes in bytes_, and the content size.
    std::uint64_t dataStart = 0;
    std::uint32_t storedLength = 0;
    std::uint32_t size = 0;
  };

  class Parser;

  ResourcePackage() = default;

  bool IsFolder(const Node& node) const;
  std::u16string_view NameOf(const Node& node) const;
  std::optional<std::uint32_t> FindChild(const Node& folder, std::u16string_view name) const;
  Entry MakeEntry(std::uint32_t index) const;

  std::vector<std::uint8_t> bytes_;
  int version_ = 0;
  // Reachable nodes, breadth first: the root is nodes_[0] and every folder's
  // children are contiguous.
  std::vector<Node> nodes_;
  std::u16string names_;
};

}  // namespace nudgelet::uipack
