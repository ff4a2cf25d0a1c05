// The package store through uipack.dll's entry points, resolved by name from a
// library object, with the library's workings behind them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "skin/FakeSkinFiles.h"
#include "skin/PackageStore.h"
#include "skin/UiPackSource.h"
#include "uipack/UiPackLibrary.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using namespace nudgelet::skin::testing;

MemoryFiles* gFiles = nullptr;
uipack::UiPackLibrary* gLibrary = nullptr;

int UIPACK_CALL FakeRegister(const wchar_t* path) { return gLibrary->Register(path); }
int UIPACK_CALL FakeUnregister(const wchar_t* path) { return gLibrary->Unregister(path); }
int UIPACK_CALL FakeData(const wchar_t* name, void* buffer, std::uint32_t* size) {
  return gLibrary->Data(1, name, buffer, size);
}
int UIPACK_CALL FakeEnum(const wchar_t* folder, std::uint32_t folders, std::uint32_t files) {
  return gLibrary->Enum(folder, folders, files);
}
std::uint32_t UIPACK_CALL FakeCreate() { return gLibrary->Texts().Create(); }
const wchar_t* UIPACK_CALL FakeGet(std::uint32_t h) { return gLibrary->Texts().Get(h); }
int UIPACK_CALL FakeSet(std::uint32_t h, const wchar_t* t) { return gLibrary->Texts().Set(h, t ? t : L""); }
int UIPACK_CALL FakeClose(std::uint32_t h) { return gLibrary->Texts().Close(h); }

class FakeDll final : public platform::DynamicLibrary {
 public:
  explicit FakeDll(std::set<std::string> missing) : missing_(std::move(missing)) {}
  platform::EntryPoint Resolve(const char* name) const override {
    if (missing_.count(name)) return nullptr;
    const std::string n = name;
    if (n == "UiPackRegister") return reinterpret_cast<platform::EntryPoint>(&FakeRegister);
    if (n == "UiPackUnregister") return reinterpret_cast<platform::EntryPoint>(&FakeUnregister);
    if (n == "UiPackData") return reinterpret_cast<platform::EntryPoint>(&FakeData);
    if (n == "UiPackEnum") return reinterpret_cast<platform::EntryPoint>(&FakeEnum);
    if (n == "QStringCreate") return reinterpret_cast<platform::EntryPoint>(&FakeCreate);
    if (n == "QStringGet") return reinterpret_cast<platform::EntryPoint>(&FakeGet);
    if (n == "QStringSet") return reinterpret_cast<platform::EntryPoint>(&FakeSet);
    if (n == "QStringClose") return reinterpret_cast<platform::EntryPoint>(&FakeClose);
    return nullptr;
  }

 private:
  std::set<std::string> missing_;
};

class FakeLibraries final : public platform::DynamicLibraries {
 public:
  bool alreadyLoaded = false;
  bool loadable = true;
  std::set<std::string> missing;
  mutable std::vector<std::wstring> loads;

  std::unique_ptr<platform::DynamicLibrary> Load(const std::wstring& name) const override {
    loads.push_back(name);
    return loadable ? std::make_unique<FakeDll>(missing) : nullptr;
  }
  std::unique_ptr<platform::DynamicLibrary> FindLoaded(const std::wstring& name) const override {
    return alreadyLoaded && name == L"uipack.dll" ? std::make_unique<FakeDll>(missing) : nullptr;
  }
};

class UiPackSourceTest : public ::testing::Test {
 protected:
  UiPackSourceTest() {
    gFiles = &files;
    gLibrary = &library;
    files.Add(L"C:\\App\\skin\\public.rcc", Package(u"public", {{u"main.ini", "[c]\nclass=color\nx=#010203\n"}}));
    files.Add(L"C:\\App\\skin\\classic.rcc",
              Package(u"classic", {{u"main.ini", "[w]\nclass=widget\nk=v\n"}, {u"images/a.png", "AAAA"}}));
  }
  ~UiPackSourceTest() override {
    gFiles = nullptr;
    gLibrary = nullptr;
  }

  MemoryFiles files;
  uipack::UiPackLibrary library{[](const std::wstring& path, std::uint64_t max) {
    auto read = gFiles->ReadFile(path, max);
    return read.error == 0 ? std::optional(std::move(read.bytes)) : std::nullopt;
  }};
  FakeLibraries libraries;
};

TEST_F(UiPackSourceTest, TheStoreReadsAndListsThroughTheLibrary) {
  UiPackSource source(libraries);
  PackageStore store(source, files, L"C:\\App\\skin");
  EXPECT_FALSE(store.ReadResource(L":/classic/images/a.png")) << "nothing before the library is loaded";

  store.RegisterPackage(L"C:\\App\\skin\\public.rcc", true);
  store.RegisterPackage(L"C:\\App\\skin\\classic.rcc", false);
  EXPECT_TRUE(source.Loaded());
  EXPECT_TRUE(source.Owned());
  EXPECT_THAT(libraries.loads, ElementsAre(L"uipack.dll"));

  const std::string a = "AAAA";
  EXPECT_EQ(store.ReadResource(L"images/a.png"), std::vector<std::uint8_t>(a.begin(), a.end()));
  EXPECT_THAT(store.ListFolder(L":/classic/").files, ElementsAre(L"main.ini"));
  EXPECT_THAT(store.ListFolder(L":/classic/").folders, ElementsAre(L"images"));
  EXPECT_EQ(store.SectionValue(L"widget", L"w", L"k"), L"v");
  EXPECT_EQ(store.Colors().ColorToRGB(store.Colors().IdentToColor(L"c.x")), 0x00030201u);
  EXPECT_EQ(library.Texts().OpenCount(), 0u) << "every text handle is closed again";

  store.UnregisterPackage(L"C:\\App\\skin\\classic.rcc");
  EXPECT_FALSE(store.ReadResource(L":/classic/images/a.png"));
}

TEST_F(UiPackSourceTest, ALoadedLibraryIsReusedAndAMissingOneLeavesOnlyLooseFiles) {
  libraries.alreadyLoaded = true;
  {
    UiPackSource source(libraries);
    EXPECT_TRUE(source.Load());
    EXPECT_FALSE(source.Owned());
    EXPECT_TRUE(libraries.loads.empty());
  }

  libraries.alreadyLoaded = false;
  libraries.loadable = false;
  UiPackSource source(libraries, {L"D:\\design\\skin", L"D:\\design"});
  PackageStore store(source, files, L"C:\\App\\skin");
  store.RegisterPackage(L"C:\\App\\skin\\classic.rcc", false);
  EXPECT_THAT(libraries.loads, ElementsAre(L"uipack.dll", L"D:\\design\\skin\\uipack.dll", L"D:\\design\\uipack.dll"));
  EXPECT_EQ(store.SkinName(), L"") << "without the library nothing registers";
  files.Add(L"C:\\App\\skin\\images\\a.png", "loose");
  EXPECT_TRUE(store.ReadResource(L"images/a.png"));
}

TEST_F(UiPackSourceTest, MissingEntryPointsDoNothing) {
  libraries.missing = {"UiPackData", "QStringCreate"};
  UiPackSource source(libraries);
  PackageStore store(source, files, L"C:\\App\\skin");
  store.RegisterPackage(L"C:\\App\\skin\\classic.rcc", false);
  EXPECT_EQ(library.Packages().Count(), 1u);
  EXPECT_FALSE(store.ReadResource(L":/classic/images/a.png"));
  EXPECT_TRUE(store.ListFolder(L":/classic/").files.empty());
}

TEST(BarList, SplitsNamesEndedByBars) {
  EXPECT_THAT(SplitBarList(L"a|bc||d|"), ElementsAre(L"a", L"bc", L"d"));
  EXPECT_THAT(SplitBarList(L"tail"), ElementsAre(L"tail"));
  EXPECT_TRUE(SplitBarList(L"").empty());
}

}  // namespace
}  // namespace nudgelet::skin
