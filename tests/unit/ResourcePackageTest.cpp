#include "uipack/ResourcePackage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "base/Strings.h"
#include "uipack/Fixtures.h"
#include "uipack/PackageBuilder.h"

namespace nudgelet::uipack {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;
using namespace nudgelet::uipack::testing;

std::uint32_t Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

const std::wstring kGreetings = Utf8ToWide(
    "public/texts/gr\xC3\xBC\xC3\x9F"
    "e.txt");
const std::wstring kSmile = Utf8ToWide("public/texts/\xF0\x9F\x98\x80.txt");

// Every file of public.qrc: its path in the package and its source file.
const std::map<std::wstring, std::string>& PublicFiles() {
  static const std::map<std::wstring, std::string> files{
      {L"public/main.ini", "public/main.ini"},
      {L"public/buttons.ini", "public/buttons.ini"},
      {L"public/empty.txt", "public/empty.txt"},
      {L"public/images/dot.png", "public/images/dot.png"},
      {L"public/images/frame/corner.png", "public/images/frame/corner.png"},
      {kGreetings, "public/texts/greetings.txt"},
      {kSmile, "public/texts/smile.txt"},
  };
  return files;
}

std::string Refusal(const std::vector<std::uint8_t>& bytes, const PackageLimits& limits = {}) {
  try {
    ResourcePackage::Open(bytes, limits);
  } catch (const PackageError& e) {
    return e.what();
  }
  return "accepted";
}

std::string ReadFailure(const ResourcePackage& package, const wchar_t* path) {
  try {
    package.ReadFile(path);
  } catch (const PackageError& e) {
    return e.what();
  }
  return "read";
}

// --- Packages made by rcc, each format version, raw and compressed ---

class RccPackage : public ::testing::TestWithParam<std::string> {
 protected:
  std::vector<std::uint8_t> bytes_ = Fixture(GetParam());
};

TEST_P(RccPackage, ReadsEveryFileBackByteForByte) {
  const auto package = ResourcePackage::Open(bytes_);
  EXPECT_EQ(package.FormatVersion(), GetParam()[8] - '0');
  std::map<std::wstring, std::vector<std::uint8_t>> read;
  int compressed = 0;
  package.ForEachFile([&](const std::wstring& path, const ResourcePackage::Entry& entry) {
    read[path] = package.Read(entry);
    EXPECT_EQ(entry.size, read[path].size()) << WideToUtf8(path);
    compressed += entry.compressed;
  });
  ASSERT_EQ(read.size(), PublicFiles().size());
  for (const auto& [path, source] : PublicFiles()) {
    EXPECT_EQ(read[path], Source(source)) << WideToUtf8(path);
    EXPECT_EQ(package.ReadFile(path), Source(source)) << WideToUtf8(path);
  }
  if (GetParam().ends_with("raw")) {
    EXPECT_EQ(compressed, 0);
  } else {
    EXPECT_GE(compressed, 2);  // the ini files; the short texts and the PNGs do not shrink
  }
}

TEST_P(RccPackage, ListsFoldersAndFiles) {
  const auto package = ResourcePackage::Open(bytes_);
  const auto root = package.ListFolder(L"");
  ASSERT_TRUE(root);
  EXPECT_THAT(root->folders, UnorderedElementsAre(L"public"));
  EXPECT_TRUE(root->files.empty());

  const auto pub = package.ListFolder(L"public");
  ASSERT_TRUE(pub);
  EXPECT_THAT(pub->folders, UnorderedElementsAre(L"images", L"texts"));
  EXPECT_THAT(pub->files, UnorderedElementsAre(L"main.ini", L"buttons.ini", L"empty.txt"));

  const auto images = package.ListFolder(L"public/images/");
  ASSERT_TRUE(images);
  EXPECT_THAT(images->folders, UnorderedElementsAre(L"frame"));
  EXPECT_THAT(images->files, UnorderedElementsAre(L"dot.png"));
  EXPECT_THAT(package.ListFolder(L"public/texts")->files,
              UnorderedElementsAre(kGreetings.substr(13), kSmile.substr(13)));

  EXPECT_FALSE(package.ListFolder(L"public/main.ini"));
  EXPECT_FALSE(package.ListFolder(L"classic"));
}

TEST_P(RccPackage, EveryTruncationIsRefused) {
  // rcc writes the tree last, so every cut loses a node that the tree needs.
  for (std::size_t n = 0; n < bytes_.size(); ++n) {
    const std::vector<std::uint8_t> cut(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_THROW(ResourcePackage::Open(cut), PackageError) << "cut at " << n;
  }
}

TEST_P(RccPackage, EveryHeaderFieldOutOfRangeIsRefused) {
  const std::uint32_t size = static_cast<std::uint32_t>(bytes_.size());
  const std::uint32_t headerSize = Be32(bytes_, 4) >= 3 ? 24 : 20;
  auto refused = [&](std::size_t at, std::uint32_t value) {
    auto b = bytes_;
    Put32(b, at, value);
    return Refusal(b) != "accepted";
  };
  EXPECT_TRUE(refused(0, 0x71726573 ^ 0x20));  // "qreS"
  for (std::uint32_t version : {0u, 4u, 0xFFFFFFFFu}) EXPECT_TRUE(refused(4, version)) << version;
  for (std::size_t field : {8u, 12u, 16u}) {
    for (std::uint32_t offset : {0u, headerSize - 1, size, 0xFFFFFFFFu}) {
      EXPECT_TRUE(refused(field, offset)) << "field " << field << " = " << offset;
    }
  }
  if (headerSize == 24) {
    EXPECT_TRUE(refused(20, 0x10));  // an unknown feature
    EXPECT_THAT(Refusal([&] {
                  auto b = bytes_;
                  Put32(b, 20, 4);
                  return b;
                }()),
                HasSubstr("zstd"));
  }
}

TEST_P(RccPackage, EveryNodeNameAndDataFieldOutOfRangeIsRefused) {
  const std::size_t size = bytes_.size();
  const std::size_t tree = Be32(bytes_, 8), data = Be32(bytes_, 12), names = Be32(bytes_, 16);
  const std::size_t record = Be32(bytes_, 4) == 1 ? 14 : 22;
  const std::size_t nodes = (size - tree) / record;
  ASSERT_EQ(tree + nodes * record, size);

  int mutations = 0;
  auto expectRefused = [&](std::size_t at, std::uint32_t value, const char* what, std::size_t node) {
    auto b = bytes_;
    Put32(b, at, value);
    EXPECT_NE(Refusal(b), "accepted") << what << " of node " << node << " = " << value;
    ++mutations;
  };
  for (std::size_t i = 0; i < nodes; ++i) {
    const std::size_t r = tree + i * record;
    const bool folder = bytes_[r + 5] & 2;
    if (i != 0) {
      expectRefused(r, 0xFFFFFFFF, "name offset", i);
      expectRefused(r, static_cast<std::uint32_t>(size - names - 3), "name offset", i);  // cut name header
    }
    if (folder) {
      const std::uint32_t first = Be32(bytes_, r + 10);
      expectRefused(r + 6, 0xFFFFFFFF, "child count", i);
      expectRefused(r + 6, static_cast<std::uint32_t>(nodes - first + 1), "child count", i);
      expectRefused(r + 10, 0xFFFFFFFF, "first child", i);
      expectRefused(r + 10, static_cast<std::uint32_t>(i), "first child (itself)", i);
      expectRefused(r + 10, 0, "first child (the root)", i);
    } else {
      const std::size_t at = data + Be32(bytes_, r + 10);
      expectRefused(r + 10, 0xFFFFFFFF, "data offset", i);
      expectRefused(r + 10, static_cast<std::uint32_t>(size - data - 2), "data offset", i);
      expectRefused(at, 0xFFFFFFFF, "data length", i);
      expectRefused(at, static_cast<std::uint32_t>(size - at - 4 + 1), "data length", i);
      if (bytes_[r + 5] & 1) expectRefused(at + 4, 0xFFFFFFFF, "inflated size", i);
    }
  }
  EXPECT_GT(mutations, 40);
}

INSTANTIATE_TEST_SUITE_P(FormatVersions, RccPackage,
                         ::testing::Values("public-v1-raw", "public-v1-zlib", "public-v2-raw", "public-v2-zlib",
                                           "public-v3-raw", "public-v3-zlib"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(ResourcePackage, FindFollowsQtPathRules) {
  const auto package = ResourcePackage::Open(Fixture("public-v2-zlib"));
  const auto main = package.Find(L"public/main.ini");
  ASSERT_TRUE(main);
  EXPECT_FALSE(main->folder);
  for (const wchar_t* same : {L"/public/main.ini", L"public//main.ini", L"public\\main.ini", L"./public/./main.ini",
                              L"public/images/../main.ini", L"public/images/frame/../../main.ini"}) {
    const auto found = package.Find(same);
    ASSERT_TRUE(found) << WideToUtf8(same);
    EXPECT_EQ(found->index, main->index) << WideToUtf8(same);
  }
  // Names compare exactly, as Qt compares them.
  EXPECT_FALSE(package.Find(L"Public/main.ini"));
  EXPECT_FALSE(package.Find(L"public/MAIN.INI"));
  EXPECT_FALSE(package.Find(L"public/main.ini/x"));
  EXPECT_FALSE(package.Find(L"../public/main.ini"));
  EXPECT_FALSE(package.Find(L"public/nothing.ini"));
  EXPECT_TRUE(package.Find(L"")->folder);
  EXPECT_TRUE(package.Find(L"public/images/")->folder);
  EXPECT_FALSE(package.ReadFile(L"public/images"));
  EXPECT_THROW(package.Read(*package.Find(L"public")), std::invalid_argument);
}

TEST(ResourcePackage, ZstdPackagesAreRefusedByName) {
  EXPECT_THAT(Refusal(Fixture("public-zstd")), HasSubstr("zstd"));
  // A zstd node in a package whose header cannot say so (format 2).
  auto built = BuildPackage(Folder(u"", {File(u"a.ini", "x")}));
  built.SetFlags(1, 0x04);
  EXPECT_THAT(Refusal(built.bytes), HasSubstr("zstd"));
}

// --- Shapes rcc does not make ---

TEST(ResourcePackage, RefusesTreesThatAreNotTrees) {
  // root -> a, b; a -> a.ini; b -> b.ini
  const auto tree = Folder(u"", {Folder(u"a", {File(u"a.ini", "1")}), Folder(u"b", {File(u"b.ini", "2")})});
  const auto built = BuildPackage(tree);
  ASSERT_EQ(Refusal(built.bytes), "accepted");
  const std::size_t a = QtNameHash(u"a") < QtNameHash(u"b") ? 1 : 2;
  const std::size_t b = 3 - a;

  auto selfChild = built;
  selfChild.SetFirstChild(a, static_cast<std::uint32_t>(a));
  EXPECT_THAT(Refusal(selfChild.bytes), HasSubstr("not after it"));

  auto rootAgain = built;
  rootAgain.SetFirstChild(b, 0);
  EXPECT_THAT(Refusal(rootAgain.bytes), HasSubstr("not after it"));

  // Both folders claim the same child: in a chain of such folders the work would double at every level.
  auto shared = built;
  shared.SetFirstChild(b, Be32(built.bytes, built.records[a] + 10));
  EXPECT_THAT(Refusal(shared.bytes), HasSubstr("more than one folder"));

  auto rootIsFile = built;
  rootIsFile.SetFlags(0, 0);
  EXPECT_NE(Refusal(rootIsFile.bytes), "accepted");
}

TEST(ResourcePackage, BoundsFolderDepth) {
  auto chain = [](int folders) {
    TestEntry entry = File(u"leaf.ini", "x");
    for (int i = 0; i < folders; ++i) entry = Folder(u"d", {entry});
    return Folder(u"", {entry});
  };
  PackageLimits limits;
  limits.maxDepth = 4;
  EXPECT_EQ(Refusal(BuildPackage(chain(3)).bytes, limits), "accepted");  // leaf at depth 4
  EXPECT_THAT(Refusal(BuildPackage(chain(4)).bytes, limits), HasSubstr("deeper than 4"));
  EXPECT_THAT(Refusal(BuildPackage(chain(500)).bytes), HasSubstr("deeper than 64"));
}

TEST(ResourcePackage, RefusesNamesThatBreakPathsOrListings) {
  for (const std::u16string bad : {u"", u".", u"..", u"a/b", u"a\\b", u"a|b", u"tab\there"}) {
    const auto built = BuildPackage(Folder(u"", {File(bad, "x")}));
    EXPECT_THAT(Refusal(built.bytes), HasSubstr("its name")) << WideToUtf8(std::wstring(bad.begin(), bad.end()));
  }
  auto built = BuildPackage(Folder(u"", {File(u"main.ini", "x")}));
  built.bytes[built.namesOffset + 7] ^= 0x01;  // "m" -> "l": the stored hash no longer fits
  EXPECT_THAT(Refusal(built.bytes), HasSubstr("hash"));
}

TEST(ResourcePackage, RefusesFlagsItDoesNotKnow) {
  auto folderCompressed = BuildPackage(Folder(u"", {Folder(u"f", {File(u"x", "1")})}));
  folderCompressed.SetFlags(1, 0x03);
  EXPECT_THAT(Refusal(folderCompressed.bytes), HasSubstr("cannot be compressed"));
  auto unknown = BuildPackage(Folder(u"", {File(u"x", "1")}));
  unknown.SetFlags(1, 0x08);
  EXPECT_THAT(Refusal(unknown.bytes), HasSubstr("unknown flags"));
}

TEST(ResourcePackage, FirstOfDuplicateNamesWinsAndUnsortedFoldersStillWork) {
  std::vector<TestEntry> files{File(u"same.ini", "first"), File(u"same.ini", "second", true)};
  auto name = [](int i) { return "f" + std::to_string(i); };
  for (int i = 0; i < 40; ++i) {
    const auto n = name(i);
    files.push_back(File(std::u16string(n.begin(), n.end()), "n"));
  }
  std::reverse(files.begin() + 2, files.end());
  for (const bool sorted : {true, false}) {
    const auto package = ResourcePackage::Open(BuildPackage(Folder(u"", files), 3, sorted).bytes);
    EXPECT_EQ(package.ReadFile(L"same.ini"), Bytes("first")) << sorted;
    for (int i = 0; i < 40; ++i) {
      EXPECT_TRUE(package.Find(Utf8ToWide(name(i)))) << sorted << i;
    }
    EXPECT_EQ(package.ListFolder(L"")->files.size(), 42u);
  }
}

TEST(ResourcePackage, AcceptsAnEmptyPackage) {
  const auto package = ResourcePackage::Open(BuildPackage(Folder(u"", {}), 1).bytes);
  EXPECT_EQ(package.EntryCount(), 1u);
  EXPECT_TRUE(package.ListFolder(L"/")->folders.empty());
  EXPECT_FALSE(package.Find(L"x"));
}

// --- Compressed data ---

// One compressed file "c.ini" holding `content`, its declared size replaced by `declared`.
BuiltPackage CompressedPackage(const std::string& content, std::uint32_t declared) {
  auto built = BuildPackage(Folder(u"", {File(u"c.ini", content, true)}));
  built.Put32(built.dataOf.at(1) + 4, declared);
  return built;
}

TEST(ResourcePackage, InflatedSizeMustEqualTheDeclaredSize) {
  const std::string content(1000, 'a');
  EXPECT_EQ(ResourcePackage::Open(CompressedPackage(content, 1000).bytes).ReadFile(L"c.ini"), Bytes(content));
  EXPECT_THAT(ReadFailure(ResourcePackage::Open(CompressedPackage(content, 999).bytes), L"c.ini"),
              HasSubstr("more than the declared 999"));
  EXPECT_THAT(ReadFailure(ResourcePackage::Open(CompressedPackage(content, 1001).bytes), L"c.ini"),
              HasSubstr("inflates to 1000 bytes, not the declared 1001"));
}

TEST(ResourcePackage, CorruptOrCutStreamsFailWhenRead) {
  const std::string content = "[form]\nclass=form\nshadow=1\n[form]\nclass=form\nshadow=1\n";
  auto corrupt = CompressedPackage(content, static_cast<std::uint32_t>(content.size()));
  const std::size_t stream = corrupt.dataOf.at(1) + 8;
  corrupt.bytes[stream + 4] ^= 0xFF;
  corrupt.bytes[stream + 5] ^= 0xFF;
  EXPECT_THAT(ReadFailure(ResourcePackage::Open(corrupt.bytes), L"c.ini"), HasSubstr("corrupt"));

  auto cut = CompressedPackage(content, static_cast<std::uint32_t>(content.size()));
  cut.Put32(cut.dataOf.at(1), Be32(cut.bytes, cut.dataOf.at(1)) - 6);  // stream loses its end
  EXPECT_THAT(ReadFailure(ResourcePackage::Open(cut.bytes), L"c.ini"), HasSubstr("ends early"));

  auto noSize = CompressedPackage(content, 0);
  noSize.Put32(noSize.dataOf.at(1), 3);
  EXPECT_THAT(Refusal(noSize.bytes), HasSubstr("no size"));
}

TEST(ResourcePackage, RefusesBombsAndOversizedPackagesBeforeInflating) {
  // A small package that declares 4 GB.
  const auto liar = CompressedPackage(std::string(2000, 'x'), 0xFFFFFFFF);
  ASSERT_LT(liar.bytes.size(), 1024u);
  EXPECT_THAT(Refusal(liar.bytes), HasSubstr("4294967295 bytes"));

  // A real 1 MiB of zeros in about a kilobyte, with room for 64 KiB per entry.
  const auto bomb = BuildPackage(Folder(u"", {File(u"z", std::string(1 << 20, '\0'), true)}));
  ASSERT_LT(bomb.bytes.size(), 2048u);
  PackageLimits limits;
  limits.maxEntryBytes = 64 << 10;
  EXPECT_THAT(Refusal(bomb.bytes, limits), HasSubstr("more than the limit of 65536"));
  EXPECT_EQ(Refusal(bomb.bytes), "accepted");

  // Deflate cannot reach 1 MiB from a dozen bytes, whatever the limits allow.
  EXPECT_THAT(Refusal(CompressedPackage("abc", 1 << 20).bytes), HasSubstr("compressed bytes can hold"));

  // Many entries that are each allowed but too much together.
  std::vector<TestEntry> many;
  for (char16_t c = u'a'; c <= u'j'; ++c) many.push_back(File(std::u16string(1, c), std::string(10000, 'q'), true));
  limits = PackageLimits{};
  limits.maxTotalBytes = 50000;
  EXPECT_THAT(Refusal(BuildPackage(Folder(u"", many)).bytes, limits), HasSubstr("in all"));

  limits = PackageLimits{};
  limits.maxEntries = 10;  // the root and ten files
  EXPECT_THAT(Refusal(BuildPackage(Folder(u"", many)).bytes, limits), HasSubstr("limit of 10 entries"));
  limits.maxEntries = 11;
  EXPECT_EQ(Refusal(BuildPackage(Folder(u"", many)).bytes, limits), "accepted");

  limits = PackageLimits{};
  limits.maxPackageBytes = 100;
  EXPECT_THAT(Refusal(Fixture("public-v1-raw"), limits), HasSubstr("more than the limit"));
}

}  // namespace
}  // namespace nudgelet::uipack
