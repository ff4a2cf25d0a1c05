#pragma once
// Writes packages in rcc's binary layout (header, data, names, tree; children in
// breadth-first order), for the shapes rcc itself never makes: shared or
// cyclic nodes, duplicate names, unsorted folders, lying sizes.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "uipack/ResourcePackage.h"

namespace nudgelet::uipack::testing {

struct TestEntry {
  std::u16string name;
  bool folder = false;
  std::vector<TestEntry> children;
  std::string content;
  bool compress = false;
};

inline TestEntry Folder(std::u16string name, std::vector<TestEntry> children) {
  return TestEntry{std::move(name), true, std::move(children), {}, false};
}

inline TestEntry File(std::u16string name, std::string content, bool compress = false) {
  return TestEntry{std::move(name), false, {}, std::move(content), compress};
}

struct BuiltPackage {
  std::vector<std::uint8_t> bytes;
  std::uint32_t treeOffset = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t namesOffset = 0;
  std::uint32_t recordSize = 0;
  // File offset of each node's record, in tree order (the root first).
  std::vector<std::size_t> records;
  // For file nodes: file offset of the stored data's length field.
  std::map<std::size_t, std::size_t> dataOf;

  void Put32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  }
  void Put16(std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(v);
  }
  // Record fields, by node index.
  void SetChildCount(std::size_t node, std::uint32_t v) { Put32(records[node] + 6, v); }
  void SetFirstChild(std::size_t node, std::uint32_t v) { Put32(records[node] + 10, v); }
  void SetFlags(std::size_t node, std::uint16_t v) { Put16(records[node] + 4, v); }
};

inline std::vector<std::uint8_t> ZlibStream(const std::string& content) {
  uLongf length = compressBound(static_cast<uLong>(content.size()));
  std::vector<std::uint8_t> out(length);
  compress2(out.data(), &length, reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()), 9);
  out.resize(length);
  return out;
}

// sortByHash = false keeps the children in the order given, as no rcc would.
inline BuiltPackage BuildPackage(const TestEntry& root, int version = 2, bool sortByHash = true) {
  BuiltPackage out;
  const std::size_t headerSize = version >= 3 ? 24 : 20;
  out.recordSize = version == 1 ? 14 : 22;

  // Tree order: breadth first, so every folder's children are contiguous.
  std::vector<const TestEntry*> order{&root};
  std::vector<std::size_t> firstChild(1, 0);
  for (std::size_t i = 0; i < order.size(); ++i) {
    firstChild.resize(order.size());
    firstChild[i] = order.size();
    std::vector<const TestEntry*> kids;
    for (const auto& c : order[i]->children) kids.push_back(&c);
    if (sortByHash) {
      std::stable_sort(kids.begin(), kids.end(), [](const TestEntry* a, const TestEntry* b) {
        return QtNameHash(a->name) < QtNameHash(b->name);
      });
    }
    order.insert(order.end(), kids.begin(), kids.end());
  }

  std::vector<std::uint8_t> data, names;
  std::map<std::u16string, std::uint32_t> nameAt;
  std::vector<std::uint32_t> dataAt(order.size(), 0);
  auto put32 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<std::uint8_t>(x >> s));
  };
  for (std::size_t i = 1; i < order.size(); ++i) {
    const TestEntry& e = *order[i];
    if (!nameAt.count(e.name)) {
      nameAt[e.name] = static_cast<std::uint32_t>(names.size());
      names.push_back(static_cast<std::uint8_t>(e.name.size() >> 8));
      names.push_back(static_cast<std::uint8_t>(e.name.size()));
      put32(names, QtNameHash(e.name));
      for (const char16_t c : e.name) {
        names.push_back(static_cast<std::uint8_t>(c >> 8));
        names.push_back(static_cast<std::uint8_t>(c));
      }
    }
    if (!e.folder) {
      dataAt[i] = static_cast<std::uint32_t>(data.size());
      if (e.compress) {
        const auto stream = ZlibStream(e.content);
        put32(data, static_cast<std::uint32_t>(stream.size() + 4));
        put32(data, static_cast<std::uint32_t>(e.content.size()));
        data.insert(data.end(), stream.begin(), stream.end());
      } else {
        put32(data, static_cast<std::uint32_t>(e.content.size()));
        data.insert(data.end(), e.content.begin(), e.content.end());
      }
    }
  }

  out.dataOffset = static_cast<std::uint32_t>(headerSize);
  out.namesOffset = static_cast<std::uint32_t>(headerSize + data.size());
  out.treeOffset = static_cast<std::uint32_t>(out.namesOffset + names.size());
  auto& b = out.bytes;
  b = {'q', 'r', 'e', 's'};
  put32(b, static_cast<std::uint32_t>(version));
  put32(b, out.treeOffset);
  put32(b, out.dataOffset);
  put32(b, out.namesOffset);
  if (version >= 3) put32(b, 1);
  b.insert(b.end(), data.begin(), data.end());
  b.insert(b.end(), names.begin(), names.end());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const TestEntry& e = *order[i];
    out.records.push_back(b.size());
    put32(b, i == 0 ? 0 : nameAt[e.name]);
    std::uint16_t flags = e.folder ? 2 : (e.compress ? 1 : 0);
    b.push_back(static_cast<std::uint8_t>(flags >> 8));
    b.push_back(static_cast<std::uint8_t>(flags));
    if (e.folder) {
      put32(b, static_cast<std::uint32_t>(e.children.size()));
      put32(b, static_cast<std::uint32_t>(e.children.empty() ? 0 : firstChild[i]));
    } else {
      put32(b, 1);  // territory and language: any
      put32(b, dataAt[i]);
      out.dataOf[i] = out.dataOffset + dataAt[i];
    }
    if (version >= 2) {
      put32(b, 0);
      put32(b, 0);
    }
  }
  return out;
}

}  // namespace nudgelet::uipack::testing
