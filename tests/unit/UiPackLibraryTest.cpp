#include "uipack/UiPackLibrary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/Strings.h"
#include "uipack/Fixtures.h"
#include "uipack/PackageBuilder.h"

namespace nudgelet::uipack {
namespace {

using ::testing::HasSubstr;
using namespace nudgelet::uipack::testing;

// --- Registered packages and precedence ---

TEST(PackageRegistry, FirstRegisteredWinsAndListingsMerge) {
  PackageRegistry registry;
  registry.Register(L"C:\\skin\\public.rcc", Fixture("public-v2-zlib"));
  registry.Register(L"C:\\skin\\overlay.rcc", Fixture("overlay"));  // also holds public/main.ini
  registry.Register(L"C:\\skin\\classic.rcc", Fixture("classic"));

  EXPECT_EQ(registry.Read(L":/public/main.ini"), Source("public/main.ini"));
  EXPECT_EQ(registry.Read(L":/public/overlay.ini"), Source("overlay/public/overlay.ini"));
  EXPECT_EQ(registry.Read(L":/classic/color_setting.ini"), Source("classic/color_setting.ini"));
  EXPECT_EQ(registry.Read(L":/public/images/dot.png"), Source("public/images/dot.png"));
  EXPECT_FALSE(registry.Read(L":/public/images"));
  EXPECT_FALSE(registry.Read(L":/public/nothing.ini"));

  const auto pub = registry.List(L":/public/");
  ASSERT_TRUE(pub);
  EXPECT_EQ(std::count(pub->files.begin(), pub->files.end(), L"main.ini"), 1);
  EXPECT_THAT(pub->files, ::testing::UnorderedElementsAre(L"main.ini", L"buttons.ini", L"empty.txt", L"overlay.ini"));
  EXPECT_THAT(registry.List(L":/")->folders, ::testing::UnorderedElementsAre(L"public", L"classic"));
  EXPECT_FALSE(registry.List(L":/missing/"));
}

TEST(PackageRegistry, UnregisterRemovesExactlyThatFile) {
  PackageRegistry registry;
  registry.Register(L"C:\\skin\\public.rcc", Fixture("public-v1-raw"));
  registry.Register(L"C:\\skin\\overlay.rcc", Fixture("overlay"));
  // Windows paths: case and separators do not matter.
  EXPECT_TRUE(registry.Unregister(L"c:/SKIN/Public.rcc"));
  EXPECT_FALSE(registry.Unregister(L"C:\\skin\\public.rcc"));
  EXPECT_EQ(registry.Count(), 1u);
  EXPECT_EQ(registry.Read(L":/public/main.ini"), Source("overlay/public/main.ini"));
  EXPECT_FALSE(registry.Read(L":/public/buttons.ini"));
  EXPECT_THAT(registry.List(L":/public")->files, ::testing::UnorderedElementsAre(L"main.ini", L"overlay.ini"));
}

TEST(PackageRegistry, RegisteringAgainReplacesInPlace) {
  PackageRegistry registry;
  registry.Register(L"C:\\skin\\a.rcc", Fixture("public-v3-zlib"));
  registry.Register(L"C:\\skin\\b.rcc", Fixture("overlay"));
  registry.Register(L"c:/skin/A.RCC", Fixture("classic"));
  EXPECT_EQ(registry.Count(), 2u);
  EXPECT_EQ(registry.Read(L":/public/main.ini"), Source("overlay/public/main.ini"));
  EXPECT_TRUE(registry.Read(L":/classic/main.ini"));

  // a.rcc keeps its place ahead of b.rcc.
  registry.Register(L"C:\\skin\\a.rcc", Fixture("public-v3-zlib"));
  EXPECT_EQ(registry.Read(L":/public/main.ini"), Source("public/main.ini"));
  EXPECT_FALSE(registry.Read(L":/classic/main.ini"));

  // A broken replacement leaves the registered package as it was.
  EXPECT_THROW(registry.Register(L"C:\\skin\\a.rcc", Bytes("qres garbage")), PackageError);
  EXPECT_EQ(registry.Read(L":/public/main.ini"), Source("public/main.ini"));
}

TEST(PackageRegistry, CorruptEntryReadsAsNone) {
  const std::string content(300, 'k');
  auto built = BuildPackage(Folder(u"", {Folder(u"public", {File(u"bad.ini", content, true)})}));
  built.Put32(built.dataOf.at(2) + 4, 299);
  PackageRegistry registry;
  registry.Register(L"bad.rcc", built.bytes);
  EXPECT_FALSE(registry.Read(L":/public/bad.ini"));
}

// --- The library behind the entry points ---

class UiPackLibraryTest : public ::testing::Test {
 protected:
  UiPackLibraryTest()
      : library_([this](const std::wstring& path, std::uint64_t maxBytes) -> std::optional<std::vector<std::uint8_t>> {
          const auto it = files_.find(path);
          if (it == files_.end() || it->second.size() > maxBytes) return std::nullopt;
          return it->second;
        }) {
    files_[L"C:\\skin\\public.rcc"] = Fixture("public-v2-zlib");
    files_[L"C:\\skin\\classic.rcc"] = Fixture("classic");
    files_[L"C:\\skin\\overlay.rcc"] = Fixture("overlay");
    files_[L"C:\\skin\\broken.rcc"] = Bytes("not a package");
  }

  // The program's two-step read: the size, then the bytes into a buffer of that size.
  std::optional<std::vector<std::uint8_t>> ReadTwoStep(const std::wstring& name, std::uint32_t thread = 1) {
    std::uint32_t size = 0;
    if (!library_.Data(thread, name, nullptr, &size)) {
      EXPECT_EQ(size, 0u);
      return std::nullopt;
    }
    std::vector<std::uint8_t> buffer(size);
    std::uint8_t dummy = 0;
    EXPECT_TRUE(library_.Data(thread, name, size ? buffer.data() : &dummy, nullptr));
    return buffer;
  }

  std::map<std::wstring, std::vector<std::uint8_t>> files_;
  UiPackLibrary library_;
};

TEST_F(UiPackLibraryTest, RegistersOnlyReadableAcceptablePackages) {
  EXPECT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  EXPECT_FALSE(library_.Register(L"C:\\skin\\missing.rcc"));
  EXPECT_FALSE(library_.Register(L"C:\\skin\\broken.rcc"));
  EXPECT_FALSE(library_.Register(L""));
  EXPECT_EQ(library_.Packages().Count(), 1u);
  EXPECT_TRUE(library_.Unregister(L"C:\\skin\\public.rcc"));
  EXPECT_FALSE(library_.Unregister(L"C:\\skin\\public.rcc"));
}

TEST_F(UiPackLibraryTest, SizeThenFetchReadsResources) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  ASSERT_TRUE(library_.Register(L"C:\\skin\\classic.rcc"));
  EXPECT_EQ(ReadTwoStep(L":/public/main.ini"), Source("public/main.ini"));
  EXPECT_EQ(ReadTwoStep(L":/classic/images/btn_close_normal.png"), Source("classic/images/btn_close_normal.png"));
  EXPECT_EQ(ReadTwoStep(L":/public/texts/" + Utf8ToWide("gr\xC3\xBC\xC3\x9F"
                                                        "e.txt")),
            Source("public/texts/greetings.txt"));
  EXPECT_EQ(ReadTwoStep(L":/public/empty.txt"), std::vector<std::uint8_t>{});
  EXPECT_FALSE(ReadTwoStep(L":/public/missing.ini"));
  EXPECT_FALSE(ReadTwoStep(L":/public/images/"));  // a folder has no bytes
}

TEST_F(UiPackLibraryTest, FetchCopiesOnlyWhatThisThreadWasToldFor) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  std::vector<std::uint8_t> buffer(64, 0xEE);
  // No size asked first: the buffer's size is unknown, nothing is copied.
  EXPECT_FALSE(library_.Data(1, L":/public/main.ini", buffer.data(), nullptr));

  std::uint32_t size = 0;
  ASSERT_TRUE(library_.Data(1, L":/public/buttons.ini", nullptr, &size));
  EXPECT_FALSE(library_.Data(2, L":/public/buttons.ini", buffer.data(), nullptr));  // another thread
  EXPECT_FALSE(library_.Data(1, L":/public/main.ini", buffer.data(), nullptr));     // another name
  buffer.assign(size, 0);
  EXPECT_TRUE(library_.Data(1, L":/public/buttons.ini", buffer.data(), nullptr));
  EXPECT_EQ(buffer, Source("public/buttons.ini"));
  EXPECT_FALSE(library_.Data(1, L":/public/buttons.ini", buffer.data(), nullptr));  // one fetch per query

  // A failed query leaves nothing behind for a fetch.
  ASSERT_TRUE(library_.Data(1, L":/public/main.ini", nullptr, &size));
  EXPECT_FALSE(library_.Data(1, L":/public/none.ini", nullptr, &size));
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(library_.Data(1, L":/public/main.ini", buffer.data(), nullptr));
  EXPECT_FALSE(library_.Data(1, L":/public/main.ini", nullptr, nullptr));
}

TEST_F(UiPackLibraryTest, PackagesChangingBetweenSizeAndFetchNeverOverrunTheBuffer) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\overlay.rcc"));
  std::uint32_t size = 0;
  ASSERT_TRUE(library_.Data(7, L":/public/main.ini", nullptr, &size));
  const auto told = Source("overlay/public/main.ini");
  ASSERT_EQ(size, told.size());

  // Meanwhile a package with a much larger main.ini takes precedence.
  ASSERT_TRUE(library_.Unregister(L"C:\\skin\\overlay.rcc"));
  ASSERT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  ASSERT_GT(Source("public/main.ini").size(), 10 * told.size());

  std::vector<std::uint8_t> buffer(size + 64, 0xEE);
  ASSERT_TRUE(library_.Data(7, L":/public/main.ini", buffer.data(), nullptr));
  EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + size), told);
  EXPECT_EQ(std::count(buffer.begin() + size, buffer.end(), 0xEE), 64);
}

TEST_F(UiPackLibraryTest, BoundedReadCopiesOnlyWhatFits) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\classic.rcc"));
  const auto expected = Source("classic/main.ini");
  std::vector<std::uint8_t> buffer(expected.size(), 0xEE);
  std::uint32_t capacity = static_cast<std::uint32_t>(expected.size() - 1);
  EXPECT_FALSE(library_.Data(1, L":/classic/main.ini", buffer.data(), &capacity));
  EXPECT_EQ(capacity, expected.size());
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), static_cast<std::ptrdiff_t>(buffer.size()));
  EXPECT_TRUE(library_.Data(1, L":/classic/main.ini", buffer.data(), &capacity));
  EXPECT_EQ(buffer, expected);
}

TEST_F(UiPackLibraryTest, EnumFillsTextHandlesWithBarSeparatedNames) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  ASSERT_TRUE(library_.Register(L"C:\\skin\\overlay.rcc"));
  auto& texts = library_.Texts();
  const auto folders = texts.Create();
  const auto files = texts.Create();
  ASSERT_TRUE(library_.Enum(L":/public/", folders, files));
  const std::wstring folderText = texts.Get(folders);
  const std::wstring fileText = texts.Get(files);
  EXPECT_EQ(folderText.size(), std::wstring(L"images|texts|").size());
  EXPECT_THAT(folderText, HasSubstr(L"images|"));
  EXPECT_THAT(folderText, HasSubstr(L"texts|"));
  for (const wchar_t* name : {L"main.ini|", L"buttons.ini|", L"empty.txt|", L"overlay.ini|"}) {
    EXPECT_THAT(fileText, HasSubstr(name));
  }
  EXPECT_EQ(fileText.size(), std::wstring(L"main.ini|buttons.ini|empty.txt|overlay.ini|").size());

  ASSERT_TRUE(library_.Enum(L":/public/texts", 0, files));  // handle 0 is skipped
  EXPECT_THAT(std::wstring(texts.Get(files)), HasSubstr(Utf8ToWide("\xF0\x9F\x98\x80.txt|")));
  EXPECT_EQ(std::wstring(texts.Get(folders)), folderText);

  EXPECT_FALSE(library_.Enum(L":/nothing/", folders, files));
  EXPECT_EQ(std::wstring(texts.Get(folders)), L"");
  EXPECT_EQ(std::wstring(texts.Get(files)), L"");
}

TEST_F(UiPackLibraryTest, ReadersRunWhilePackagesComeAndGo) {
  ASSERT_TRUE(library_.Register(L"C:\\skin\\public.rcc"));
  const auto expected = Source("public/main.ini");
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (std::uint32_t t = 1; t <= 3; ++t) {
    readers.emplace_back([&, t] {
      while (!stop) {
        const auto bytes = ReadTwoStep(L":/public/main.ini", t);
        if (bytes && *bytes != expected && *bytes != Source("overlay/public/main.ini")) ++wrong;
      }
    });
  }
  for (int i = 0; i < 50; ++i) {
    library_.Register(L"C:\\skin\\overlay.rcc");
    library_.Unregister(L"C:\\skin\\public.rcc");
    library_.Register(L"C:\\skin\\public.rcc");
    library_.Unregister(L"C:\\skin\\overlay.rcc");
  }
  stop = true;
  for (auto& r : readers) r.join();
  EXPECT_EQ(wrong, 0);
}

// --- Text handles ---

TEST(TextHandleTable, HandlesAreCheckedAndNeverReusedByAccident) {
  TextHandleTable table;
  const auto a = table.Create();
  ASSERT_NE(a, 0u);
  EXPECT_EQ(std::wstring(table.Get(a)), L"");
  EXPECT_TRUE(table.Set(a, L"images|"));
  const wchar_t* text = table.Get(a);
  // The table grows; the text stays where it was.
  std::vector<std::uint32_t> more;
  for (int i = 0; i < 1000; ++i) more.push_back(table.Create());
  EXPECT_EQ(table.Get(a), text);
  EXPECT_EQ(std::wstring(text), L"images|");
  // A new text does not pull the old one from under whoever holds it.
  EXPECT_TRUE(table.Set(a, std::wstring(500, L'x')));
  EXPECT_EQ(std::wstring(text), L"images|");
  EXPECT_EQ(std::wstring(table.Get(a)), std::wstring(500, L'x'));

  EXPECT_TRUE(table.Close(a));
  EXPECT_FALSE(table.Close(a));
  EXPECT_FALSE(table.Set(a, L"x"));
  EXPECT_EQ(std::wstring(table.Get(a)), L"");
  const auto b = table.Create();  // takes a's slot under a new generation
  EXPECT_NE(b, a);
  EXPECT_EQ((b & 0xFFFF), (a & 0xFFFF));
  EXPECT_FALSE(table.Set(a, L"stale"));
  EXPECT_EQ(std::wstring(table.Get(b)), L"");
  for (const std::uint32_t bogus : {0u, 0xFFFFFFFFu, 0x00010000u, b + 1}) EXPECT_FALSE(table.Close(bogus)) << bogus;
}

TEST(TextHandleTable, RefusesWhenFull) {
  TextHandleTable table;
  std::uint32_t last = 0;
  for (std::size_t i = 0; i < TextHandleTable::kMaxTexts; ++i) {
    last = table.Create();
    ASSERT_NE(last, 0u) << i;
  }
  EXPECT_EQ(table.Create(), 0u);
  EXPECT_TRUE(table.Close(last));
  EXPECT_NE(table.Create(), 0u);
  EXPECT_EQ(table.OpenCount(), TextHandleTable::kMaxTexts);
}

}  // namespace
}  // namespace nudgelet::uipack
