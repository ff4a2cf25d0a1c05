// uipack.dll as the program meets it: loaded at run time, entry points resolved
// by name, packages registered by path and read through the entry points.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/Strings.h"
#include "platform/win32/SystemPlatform.h"
#include "uipack/UiPack.h"

namespace nudgelet {
namespace {

using ::testing::HasSubstr;

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s = path;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring SkinFolder() { return ExeFolder() + L"uipack-test\\skin\\"; }

std::vector<std::uint8_t> Source(const std::string& relative) {
  std::ifstream in(std::filesystem::path(NUDGELET_UIPACK_SOURCES) / relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a loaded module's export table.
std::set<std::string> ExportNames(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> out;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) out.insert(reinterpret_cast<const char*>(base + names[i]));
  EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
  return out;
}

std::vector<std::string> ImportedLibraries(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<std::string> out;
  for (const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    out.emplace_back(reinterpret_cast<const char*>(base + d->Name));
  }
  return out;
}

class UiPackDll : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = platform::win32::SystemPlatform().libraries.Load(ExeFolder() + L"uipack.dll");
    ASSERT_TRUE(library_);
    reg_ = library_->ResolveAs<UiPackRegisterFn>("UiPackRegister");
    unreg_ = library_->ResolveAs<UiPackUnregisterFn>("UiPackUnregister");
    data_ = library_->ResolveAs<UiPackDataFn>("UiPackData");
    enum_ = library_->ResolveAs<UiPackEnumFn>("UiPackEnum");
    create_ = library_->ResolveAs<QStringCreateFn>("QStringCreate");
    get_ = library_->ResolveAs<QStringGetFn>("QStringGet");
    set_ = library_->ResolveAs<QStringSetFn>("QStringSet");
    close_ = library_->ResolveAs<QStringCloseFn>("QStringClose");
    ASSERT_TRUE(reg_ && unreg_ && data_ && enum_ && create_ && get_ && set_ && close_);
  }

  // The program's way: the size first, then the bytes.
  std::vector<std::uint8_t> Read(const std::wstring& name) {
    std::uint32_t size = 0;
    data_(name.c_str(), nullptr, &size);
    if (size == 0) return {};
    std::vector<std::uint8_t> buffer(size);
    EXPECT_EQ(data_(name.c_str(), buffer.data(), nullptr), 1);
    return buffer;
  }

  std::pair<std::wstring, std::wstring> Enum(const std::wstring& folder) {
    const auto folders = create_();
    const auto files = create_();
    enum_(folder.c_str(), folders, files);
    std::pair<std::wstring, std::wstring> out{get_(folders), get_(files)};
    EXPECT_EQ(close_(folders), 1);
    EXPECT_EQ(close_(files), 1);
    return out;
  }

  std::unique_ptr<platform::DynamicLibrary> library_;
  UiPackRegisterFn reg_ = nullptr;
  UiPackUnregisterFn unreg_ = nullptr;
  UiPackDataFn data_ = nullptr;
  UiPackEnumFn enum_ = nullptr;
  QStringCreateFn create_ = nullptr;
  QStringGetFn get_ = nullptr;
  QStringSetFn set_ = nullptr;
  QStringCloseFn close_ = nullptr;
};

TEST_F(UiPackDll, ExportsExactlyTheEightEntryPointsAndNeedsNoMinGwRuntime) {
  HMODULE module = ::GetModuleHandleW((ExeFolder() + L"uipack.dll").c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ExportNames(module),
            (std::set<std::string>{"UiPackRegister", "UiPackUnregister", "UiPackData", "UiPackEnum", "QStringCreate",
                                   "QStringGet", "QStringSet", "QStringClose"}));
  for (const auto& dll : ImportedLibraries(module)) {
    EXPECT_FALSE(EqualsIgnoreCase(Utf8ToWide(dll.substr(0, 3)), L"lib")) << dll;
  }
}

TEST_F(UiPackDll, RegisteredPackagesAreReadAndListed) {
  const std::wstring pub = SkinFolder() + L"public.rcc";
  const std::wstring classic = SkinFolder() + L"classic.rcc";
  ASSERT_EQ(reg_(pub.c_str()), 1);
  ASSERT_EQ(reg_(classic.c_str()), 1);
  EXPECT_EQ(reg_((SkinFolder() + L"missing.rcc").c_str()), 0);
  EXPECT_EQ(reg_(SkinFolder().c_str()), 0);  // a folder
  EXPECT_EQ(reg_(nullptr), 0);

  EXPECT_EQ(Read(L":/public/main.ini"), Source("public/main.ini"));
  EXPECT_EQ(Read(L":/classic/color_setting.ini"), Source("classic/color_setting.ini"));
  EXPECT_EQ(Read(L":/classic/images/btn_close_normal.png"), Source("classic/images/btn_close_normal.png"));
  EXPECT_EQ(Read(L":/public/texts/gr\u00fc\u00dfe.txt"), Source("public/texts/greetings.txt"));
  std::uint32_t size = 99;
  EXPECT_EQ(data_(L":/public/none.ini", nullptr, &size), 0);
  EXPECT_EQ(size, 0u);

  const auto [rootFolders, rootFiles] = Enum(L":/");
  EXPECT_EQ(rootFolders.size(), std::wstring(L"public|classic|").size());
  EXPECT_THAT(rootFolders, HasSubstr(L"classic|"));
  EXPECT_EQ(rootFiles, L"");
  const auto [folders, files] = Enum(L":/public/texts/");
  EXPECT_EQ(folders, L"");
  const auto h = create_();
  EXPECT_EQ(set_(h, files.c_str()), 1);
  EXPECT_EQ(get_(h), files);
  EXPECT_EQ(close_(h), 1);
  EXPECT_EQ(set_(h, L"x"), 0);
  EXPECT_STREQ(get_(h), L"");
  EXPECT_THAT(files, HasSubstr(L"gr\u00fc\u00dfe.txt|"));
  EXPECT_THAT(files, HasSubstr(L"\U0001F600.txt|"));

  // Another spelling of the same file removes it.
  std::wstring other = ToUpper(pub);
  std::replace(other.begin(), other.end(), L'\\', L'/');
  EXPECT_EQ(unreg_(other.c_str()), 1);
  EXPECT_EQ(unreg_(pub.c_str()), 0);
  EXPECT_TRUE(Read(L":/public/main.ini").empty());
  EXPECT_FALSE(Read(L":/classic/main.ini").empty());
  EXPECT_EQ(unreg_(classic.c_str()), 1);
}

TEST_F(UiPackDll, PackagePathsAreUtf16AndRelativePathsResolve) {
  const std::wstring copy = SkinFolder() + L"\u00fcberzug \u4e2d.rcc";
  ASSERT_TRUE(::CopyFileW((SkinFolder() + L"classic.rcc").c_str(), copy.c_str(), FALSE));
  ASSERT_EQ(reg_(copy.c_str()), 1);
  EXPECT_EQ(Read(L":/classic/main.ini"), Source("classic/main.ini"));

  // Registered by relative path, unregistered by full path.
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryW(SkinFolder().c_str()));
  EXPECT_EQ(reg_(L"public.rcc"), 1);
  ::SetCurrentDirectoryW(previous);
  EXPECT_EQ(unreg_((SkinFolder() + L"public.rcc").c_str()), 1);
  EXPECT_EQ(unreg_(copy.c_str()), 1);
  ::DeleteFileW(copy.c_str());
}

TEST_F(UiPackDll, FetchBelongsToTheThreadThatAskedTheSize) {
  const std::wstring classic = SkinFolder() + L"classic.rcc";
  ASSERT_EQ(reg_(classic.c_str()), 1);
  std::uint32_t size = 0;
  ASSERT_EQ(data_(L":/classic/main.ini", nullptr, &size), 1);
  std::vector<std::uint8_t> buffer(size);
  int otherThread = -1;
  std::thread([&] { otherThread = data_(L":/classic/main.ini", buffer.data(), nullptr); }).join();
  EXPECT_EQ(otherThread, 0);
  EXPECT_EQ(data_(L":/classic/main.ini", buffer.data(), nullptr), 1);
  EXPECT_EQ(buffer, Source("classic/main.ini"));
  EXPECT_EQ(unreg_(classic.c_str()), 1);
}

}  // namespace
}  // namespace nudgelet
