#include "uipack/ResourcePackage.h"
#include "base/ByteOrder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <utility>

namespace nudgelet::uipack {
namespace {

// Node flags, and the same bits in the header flags of format 3.
constexpr std::uint16_t kCompressed = 0x01;
constexpr std::uint16_t kDirectory = 0x02;
constexpr std::uint16_t kCompressedZstd = 0x04;
constexpr std::uint16_t kKnownNodeFlags = kCompressed | kDirectory | kCompressedZstd;
constexpr std::uint32_t kKnownHeaderFlags = kCompressed | kCompressedZstd;

// Deflate emits at best one 258-byte match for every two bits, so no stream
// inflates to more than 1032 times its length. A declared size beyond that is a
// lie, refused before anything is allocated for it.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// However the limits are set, one inflated entry plus a guard byte must fit zlib's 32-bit counters.
constexpr std::uint32_t kHardEntryLimit = 1u << 30;

std::string Hex(std::uint32_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s = "0x";
  bool started = false;
  for (int shift = 28; shift >= 0; shift -= 4) {
    const auto digit = (value >> shift) & 0xF;
    if (digit != 0 || started || shift == 0) {
      s.push_back(kDigits[digit]);
      started = true;
    }
  }
  return s;
}

// Wide text <-> UTF-16 code units without loss: natively wchar_t holds code
// points, and a lone surrogate travels as it is, so every name a package can hold
// survives the trip to wide text and back.
std::u16string ToUtf16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const wchar_t wc : text) {
    const auto c = static_cast<std::uint32_t>(wc);
    if constexpr (sizeof(wchar_t) == 2) {
      out.push_back(static_cast<char16_t>(c));
    } else if (c >= 0x10000 && c <= 0x10FFFF) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(c > 0x10FFFF ? u'\uFFFD' : static_cast<char16_t>(c));
    }
  }
  return out;
}

std::wstring FromUtf16(std::u16string_view units) {
  std::wstring out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if constexpr (sizeof(wchar_t) != 2) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        out.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
        ++i;
        continue;
      }
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

// Names end up in "|"-separated listings and, through the skin's loose-file
// override, in Windows paths; a name that could break either is refused.
bool IsAcceptableName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  return std::none_of(name.begin(), name.end(),
                      [](char16_t c) { return c < 0x20 || c == u'/' || c == u'\\' || c == u'|'; });
}

// Splits a package path into the names to walk; ".." becomes an empty view that
// tells the walker to go up.
std::vector<std::wstring_view> SplitPath(std::wstring_view path) {
  std::vector<std::wstring_view> parts;
  std::size_t i = 0;
  while (i <= path.size()) {
    const std::size_t end = std::min(path.find_first_of(L"/\\", i), path.size());
    const auto part = path.substr(i, end - i);
    if (part == L"..") {
      parts.emplace_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    i = end + 1;
  }
  return parts;
}

}  // namespace

std::uint32_t QtNameHash(std::u16string_view name) {
  std::uint32_t h = 0;
  for (const char16_t c : name) {
    h = (h << 4) + c;
    h ^= (h & 0xF0000000u) >> 23;
    h &= 0x0FFFFFFFu;
  }
  return h;
}

// One validating pass over the package; fills the package's node table or throws.
class ResourcePackage::Parser {
 public:
  Parser(ResourcePackage& package, const PackageLimits& limits)
      : p_(package),
        b_(package.bytes_.data()),
        size_(package.bytes_.size()),
        limits_(limits),
        entryLimit_(std::min(limits.maxEntryBytes, kHardEntryLimit)) {}

  void Run() {
    if (size_ > limits_.maxPackageBytes) {
      Fail("the package has " + std::to_string(size_) + " bytes, more than the limit of " +
           std::to_string(limits_.maxPackageBytes));
    }
    if (size_ < 4 || std::memcmp(b_, "qres", 4) != 0) Fail("not a resource package (no \"qres\" header)");
    if (size_ < 20) Fail("the header is cut short");
    const std::uint32_t version = ReadBe32(b_ + 4);
    if (version < 1 || version > 3) Fail("format version " + std::to_string(version) + " is not supported");
    p_.version_ = static_cast<int>(version);
    const std::uint64_t headerSize = version >= 3 ? 24 : 20;
    if (size_ < headerSize) Fail("the header is cut short");
    treeOffset_ = SectionOffset(8, "tree", headerSize);
    dataOffset_ = SectionOffset(12, "data", headerSize);
    namesOffset_ = SectionOffset(16, "names", headerSize);
    if (version >= 3) {
      const std::uint32_t flags = ReadBe32(b_ + 20);
      if (flags & ~kKnownHeaderFlags) Fail("unknown package flags " + Hex(flags));
      if (flags & kCompressedZstd) Fail("the package uses zstd compression, which is not supported");
    }
    recordSize_ = version == 1 ? 14 : 22;
    ReadTree();
  }

 private:
  [[noreturn]] static void Fail(const std::string& problem) { throw PackageError("package refused: " + problem); }

  [[noreturn]] static void FailNode(std::uint64_t index, const std::string& problem) {
    Fail("node " + std::to_string(index) + ": " + problem);
  }

  std::uint64_t SectionOffset(std::size_t field, const char* section, std::uint64_t headerSize) const {
    const std::uint64_t offset = ReadBe32(b_ + field);
    if (offset < headerSize || offset >= size_) {
      Fail(std::string("the ") + section + " offset " + std::to_string(offset) + " is outside the package");
    }
    return offset;
  }

  void ReadTree() {
    // Nodes are fixed-size records from the tree offset on; nothing beyond the
    // file's end can be one, which bounds every index and count below.
    const std::uint64_t capacity = (size_ - treeOffset_) / recordSize_;
    if (capacity == 0) Fail("the tree has no root node");
    claimed_.assign(capacity, false);
    claimed_[0] = true;

    Node root = ReadNode(0, true);
    if (!p_.IsFolder(root)) Fail("the root node is not a folder");
    p_.nodes_.push_back(root);
    recordIndex_.push_back(0);
    depth_.push_back(0);

    // Breadth first, so that each folder's children land side by side in the table.
    for (std::size_t i = 0; i < p_.nodes_.size(); ++i) {
      if (!p_.IsFolder(p_.nodes_[i])) continue;
      const std::uint64_t self = recordIndex_[i];
      const std::uint8_t* record = RecordAt(self);
      const std::uint64_t count = ReadBe32(record + 6);
      const std::uint64_t first = ReadBe32(record + 10);
      const std::uint32_t firstChild = static_cast<std::uint32_t>(p_.nodes_.size());
      p_.nodes_[i].firstChild = firstChild;
      if (count == 0) continue;
      // Children after their folder and each node in one folder only: no cycle,
      // no node reached twice, so the walk ends within the tree's size.
      if (first <= self) FailNode(self, "its children start at node " + std::to_string(first) + ", not after it");
      if (first + count > capacity) {
        FailNode(self, std::to_string(count) + " children from node " + std::to_string(first) +
                           " run past the end of the package");
      }
      if (depth_[i] >= limits_.maxDepth) {
        FailNode(self, "folders nest deeper than " + std::to_string(limits_.maxDepth) + " levels");
      }
      if (p_.nodes_.size() + count > limits_.maxEntries) {
        Fail("the package holds more than the limit of " + std::to_string(limits_.maxEntries) + " entries");
      }
      bool sorted = true;
      for (std::uint64_t k = first; k < first + count; ++k) {
        if (claimed_[k]) FailNode(k, "it belongs to more than one folder");
        claimed_[k] = true;
        const Node child = ReadNode(k, false);
        if (k > first && child.hash < p_.nodes_.back().hash) sorted = false;
        p_.nodes_.push_back(child);
        recordIndex_.push_back(k);
        depth_.push_back(depth_[i] + 1);
      }
      p_.nodes_[i].childCount = static_cast<std::uint32_t>(count);
      p_.nodes_[i].childrenSortedByHash = sorted;
    }
  }

  const std::uint8_t* RecordAt(std::uint64_t index) const { return b_ + treeOffset_ + index * recordSize_; }

  Node ReadNode(std::uint64_t index, bool isRoot) {
    const std::uint8_t* record = RecordAt(index);
    Node node;
    node.flags = ReadBe16(record + 4);
    if (node.flags & ~kKnownNodeFlags) FailNode(index, "unknown flags " + Hex(node.flags));
    if (node.flags & kCompressedZstd) FailNode(index, "zstd compression is not supported");
    if (!isRoot) ReadName(index, ReadBe32(record), node);
    if (node.flags & kDirectory) {
      if (node.flags & kCompressed) FailNode(index, "a folder cannot be compressed");
    } else {
      ReadData(index, ReadBe32(record + 10), node);
    }
    return node;
  }

  void ReadName(std::uint64_t index, std::uint32_t offset, Node& node) {
    // rcc writes each distinct name once and lets nodes share it; decoding each
    // offset once keeps the work and the name pool within the package's size.
    if (const auto known = names_.find(offset); known != names_.end()) {
      node.nameStart = known->second.start;
      node.nameLength = known->second.length;
      node.hash = known->second.hash;
      return;
    }
    const std::uint64_t at = namesOffset_ + offset;
    if (at + 6 > size_) FailNode(index, "its name at offset " + std::to_string(offset) + " is outside the package");
    const std::uint16_t length = ReadBe16(b_ + at);
    const std::uint32_t storedHash = ReadBe32(b_ + at + 2);
    const std::uint64_t bytes = 6 + std::uint64_t{length} * 2;
    if (at + bytes > size_) FailNode(index, "its name runs past the end of the package");
    nameBytes_ += bytes;
    if (nameBytes_ > size_) FailNode(index, "names overlap each other");

    std::u16string name(length, u'\0');
    for (std::uint16_t k = 0; k < length; ++k) name[k] = static_cast<char16_t>(ReadBe16(b_ + at + 6 + 2 * k));
    if (QtNameHash(name) != storedHash) FailNode(index, "its name does not match its stored hash");
    if (!IsAcceptableName(name))
      FailNode(index, "its name is empty, \".\", \"..\" or holds a separator or control character");

    const NameInfo info{static_cast<std::uint32_t>(p_.names_.size()), length, storedHash};
    p_.names_ += name;
    names_.emplace(offset, info);
    node.nameStart = info.start;
    node.nameLength = info.length;
    node.hash = info.hash;
  }

  void ReadData(std::uint64_t index, std::uint32_t offset, Node& node) {
    const std::uint64_t at = dataOffset_ + offset;
    if (at + 4 > size_) FailNode(index, "its data at offset " + std::to_string(offset) + " is outside the package");
    const std::uint32_t stored = ReadBe32(b_ + at);
    if (at + 4 + stored > size_) {
      FailNode(index, "its " + std::to_string(stored) + " bytes of data run past the end of the package");
    }
    std::uint64_t size = stored;
    node.dataStart = at + 4;
    node.storedLength = stored;
    if (node.flags & kCompressed) {
      // Qt's compressed layout: the inflated size, big-endian, then a zlib stream.
      if (stored < 4) FailNode(index, "its compressed data has no size");
      size = ReadBe32(b_ + at + 4);
      node.dataStart = at + 8;
      node.storedLength = stored - 4;
      if (size > std::uint64_t{node.storedLength} * kMaxDeflateRatio) {
        FailNode(index, "it declares " + std::to_string(size) + " bytes, more than its " +
                            std::to_string(node.storedLength) + " compressed bytes can hold");
      }
    }
    if (size > entryLimit_) {
      FailNode(index,
               "it holds " + std::to_string(size) + " bytes, more than the limit of " + std::to_string(entryLimit_));
    }
    totalBytes_ += size;
    if (totalBytes_ > limits_.maxTotalBytes) {
      Fail("its entries hold more than the limit of " + std::to_string(limits_.maxTotalBytes) + " bytes in all");
    }
    node.size = static_cast<std::uint32_t>(size);
  }

  struct NameInfo {
    std::uint32_t start;
    std::uint16_t length;
    std::uint32_t hash;
  };

  ResourcePackage& p_;
  const std::uint8_t* b_;
  std::uint64_t size_;
  const PackageLimits& limits_;
  std::uint32_t entryLimit_;
  std::uint64_t treeOffset_ = 0;
  std::uint64_t dataOffset_ = 0;
  std::uint64_t namesOffset_ = 0;
  std::uint64_t recordSize_ = 14;
  std::vector<bool> claimed_;
  // Per table entry: its record in the file and its folder depth.
  std::vector<std::uint64_t> recordIndex_;
  std::vector<std::uint32_t> depth_;
  std::unordered_map<std::uint32_t, NameInfo> names_;
  std::uint64_t nameBytes_ = 0;
  std::uint64_t totalBytes_ = 0;
};

ResourcePackage ResourcePackage::Open(std::vector<std::uint8_t> bytes, const PackageLimits& limits) {
  ResourcePackage package;
  package.bytes_ = std::move(bytes);
  Parser(package, limits).Run();
  return package;
}

bool ResourcePackage::IsFolder(const Node& node) const { return (node.flags & kDirectory) != 0; }

std::u16string_view ResourcePackage::NameOf(const Node& node) const {
  return std::u16string_view(names_).substr(node.nameStart, node.nameLength);
}

std::optional<std::uint32_t> ResourcePackage::FindChild(const Node& folder, std::u16string_view name) const {
  const std::uint32_t hash = QtNameHash(name);
  const auto begin = nodes_.begin() + folder.firstChild;
  const auto end = begin + folder.childCount;
  // rcc sorts children by hash, as Qt's own lookup expects; within one hash the
  // first entry with the name wins, as in Qt.
  auto it = folder.childrenSortedByHash
                ? std::lower_bound(begin, end, hash, [](const Node& n, std::uint32_t h) { return n.hash < h; })
                : begin;
  for (; it != end; ++it) {
    if (it->hash == hash && NameOf(*it) == name) return static_cast<std::uint32_t>(it - nodes_.begin());
    if (folder.childrenSortedByHash && it->hash != hash) break;
  }
  return std::nullopt;
}

ResourcePackage::Entry ResourcePackage::MakeEntry(std::uint32_t index) const {
  const Node& node = nodes_[index];
  Entry entry;
  entry.index = index;
  entry.folder = IsFolder(node);
  entry.compressed = (node.flags & kCompressed) != 0;
  entry.size = entry.folder ? 0 : node.size;
  return entry;
}

std::optional<ResourcePackage::Entry> ResourcePackage::Find(std::wstring_view path) const {
  std::vector<std::uint32_t> trail{0};
  for (const auto part : SplitPath(path)) {
    if (part.empty()) {
      if (trail.size() == 1) return std::nullopt;
      trail.pop_back();
      continue;
    }
    const Node& current = nodes_[trail.back()];
    if (!IsFolder(current)) return std::nullopt;
    const auto child = FindChild(current, ToUtf16(part));
    if (!child) return std::nullopt;
    trail.push_back(*child);
  }
  return MakeEntry(trail.back());
}

std::vector<std::uint8_t> ResourcePackage::Read(const Entry& entry) const {
  if (entry.index >= nodes_.size() || IsFolder(nodes_[entry.index])) {
    throw std::invalid_argument("ResourcePackage::Read: not a file of this package");
  }
  const Node& node = nodes_[entry.index];
  const std::uint8_t* stored = bytes_.data() + node.dataStart;
  if (!(node.flags & kCompressed)) return std::vector<std::uint8_t>(stored, stored + node.storedLength);

  // One byte of room beyond the declared size tells a stream that inflates to
  // more than it declared from one that fits exactly.
  std::vector<std::uint8_t> out(std::size_t{node.size} + 1);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) throw PackageError("zlib could not be started");
  zs.next_in = const_cast<Bytef*>(stored);
  zs.avail_in = node.storedLength;
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = Z_OK;
  while (rc == Z_OK) rc = inflate(&zs, Z_NO_FLUSH);
  const std::uint64_t produced = zs.total_out;
  const bool outputFull = zs.avail_out == 0;
  inflateEnd(&zs);

  const std::string what = "entry " + std::to_string(entry.index) + ": ";
  if (rc == Z_STREAM_END && produced == node.size) {
    out.pop_back();
    return out;
  }
  if ((rc == Z_STREAM_END || rc == Z_BUF_ERROR) && outputFull) {
    throw PackageError(what + "inflates to more than the declared " + std::to_string(node.size) + " bytes");
  }
  if (rc == Z_STREAM_END) {
    throw PackageError(what + "inflates to " + std::to_string(produced) + " bytes, not the declared " +
                       std::to_string(node.size));
  }
  if (rc == Z_BUF_ERROR) throw PackageError(what + "its compressed data ends early");
  throw PackageError(what + "its compressed data is corrupt");
}

ResourcePackage::Listing ResourcePackage::List(const Entry& entry) const {
  Listing listing;
  if (entry.index >= nodes_.size() || !IsFolder(nodes_[entry.index])) return listing;
  const Node& folder = nodes_[entry.index];
  for (std::uint32_t i = folder.firstChild; i < folder.firstChild + folder.childCount; ++i) {
    auto& into = IsFolder(nodes_[i]) ? listing.folders : listing.files;
    into.push_back(FromUtf16(NameOf(nodes_[i])));
  }
  return listing;
}

std::optional<std::vector<std::uint8_t>> ResourcePackage::ReadFile(std::wstring_view path) const {
  const auto entry = Find(path);
  if (!entry || entry->folder) return std::nullopt;
  return Read(*entry);
}

std::optional<ResourcePackage::Listing> ResourcePackage::ListFolder(std::wstring_view path) const {
  const auto entry = Find(path);
  if (!entry || !entry->folder) return std::nullopt;
  return List(*entry);
}

void ResourcePackage::ForEachFile(
    const std::function<void(const std::wstring& path, const Entry& entry)>& visit) const {
  struct Level {
    std::uint32_t next;
    std::uint32_t end;
    std::wstring prefix;
  };
  std::vector<Level> levels{{nodes_[0].firstChild, nodes_[0].firstChild + nodes_[0].childCount, std::wstring()}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.end) {
      levels.pop_back();
      continue;
    }
    const std::uint32_t i = level.next++;
    std::wstring path = level.prefix + FromUtf16(NameOf(nodes_[i]));
    if (IsFolder(nodes_[i])) {
      const Node& folder = nodes_[i];
      levels.push_back({folder.firstChild, folder.firstChild + folder.childCount, path + L"/"});
    } else {
      visit(path, MakeEntry(i));
    }
  }
}

}  // namespace nudgelet::uipack
