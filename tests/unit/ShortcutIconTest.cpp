#include <gtest/gtest.h>

#include <map>

#include "app/ShortcutIcon.h"
#include "support/FakePlatform.h"

namespace nudgelet::app {
namespace {

const std::wstring kProgram = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\";
const std::wstring kDesktop = L"C:\\Users\\me\\Desktop\\", kPublic = L"C:\\Users\\Public\\Desktop\\";

class FakeShell final : public ShortcutShell {
 public:
  std::vector<std::wstring> FindShortcuts(const std::wstring& folder) override {
    std::vector<std::wstring> found;
    for (const auto& [path, record] : links) {
      if (path.rfind(folder, 0) == 0) found.push_back(path);
    }
    return found;
  }
  std::optional<ShortcutRecord> Read(const std::wstring& path, std::wstring& error) override {
    ++reads;
    if (path.find(L"broken") != std::wstring::npos) {
      error = L"not a shortcut";
      return std::nullopt;
    }
    return links.at(path);
  }
  bool Write(const std::wstring& path, const ShortcutRecord& record, std::wstring&) override {
    links[path] = record;
    written.push_back(path);
    return true;
  }
  std::wstring LongPath(const std::wstring& path) override {
    return path.find(L"PATCHW~1") != std::wstring::npos ? kProgram + L"PatchwellHub.exe" : path;
  }
  void NotifyAssociationsChanged() override { ++notified; }
  bool SaveProgramIcon(const std::wstring&, const std::wstring& icon) override {
    files->AddFile(icon, {0, 0, 1, 0});
    return true;
  }

  std::map<std::wstring, ShortcutRecord> links;
  std::vector<std::wstring> written;
  nudgelet::testing::InMemoryFileSystem* files = nullptr;
  int reads = 0, notified = 0;
};

class ShortcutIconTest : public ::testing::Test {
 protected:
  ShortcutIconTest() {
    shell.files = &files;
    files.AddFile(kProgram + L"Icons\\0.ico", {0, 0, 1, 0});
    files.AddFile(kProgram + L"Icons\\3+.ico", {0, 0, 1, 0});
    auto link = [](const std::wstring& target, const std::wstring& icon) {
      ShortcutRecord r;
      r.target = target;
      r.workingFolder = kProgram;
      r.iconPath = icon;
      return r;
    };
    shell.links[kDesktop + L"Patchwell Hub.lnk"] = link(kProgram + L"PatchwellHub.exe", L"x.ico");
    shell.links[kPublic + L"Patchwell.lnk"] = link(L"C:\\PROGRA~2\\Corvane\\PATCHW~1\\PatchwellHub.exe", L"");
    shell.links[kDesktop + L"Other.lnk"] = link(L"C:\\Other\\Other.exe", L"");
    shell.links[kDesktop + L"broken.lnk"] = {};
  }
  ShortcutIconContext Context() {
    return {files,
            shell,
            kProgram,
            L"C:\\Temp\\",
            {kDesktop, kPublic},
            [this] { return level; },
            [this](int l) { level = l; },
            [this](const std::wstring& s) { debug.push_back(s); }};
  }

  nudgelet::testing::InMemoryFileSystem files;
  FakeShell shell;
  int level = 0;
  std::vector<std::wstring> debug;
};

TEST_F(ShortcutIconTest, OnlyTheProductsShortcutsChangeAndOnlyWhenTheLevelDoes) {
  EXPECT_EQ(UpdateShortcutIcon(2, Context()), 0);  // level 0 already
  EXPECT_EQ(shell.reads, 0);

  EXPECT_EQ(UpdateShortcutIcon(5, Context()), 2);
  EXPECT_EQ(level, 1);
  EXPECT_EQ(shell.links[kDesktop + L"Patchwell Hub.lnk"].iconPath, kProgram + L"Icons\\3+.ico");
  EXPECT_EQ(shell.links[kDesktop + L"Patchwell Hub.lnk"].workingFolder, kProgram);  // the rest as it was
  EXPECT_EQ(shell.links[kPublic + L"Patchwell.lnk"].iconPath, kProgram + L"Icons\\3+.ico");
  EXPECT_EQ(shell.links[kDesktop + L"Other.lnk"].iconPath, L"");
  EXPECT_EQ(shell.notified, 1);
  EXPECT_EQ(debug, std::vector<std::wstring>{L"GetShellLinkInfo Exception=not a shortcut"});
}

TEST_F(ShortcutIconTest, MissingIconsFallBackToTheNormalOneAndThenToTheProgramsOwn) {
  files.RemoveFile(kProgram + L"Icons\\3+.ico");
  level = 1;
  UpdateShortcutIcon(3, Context());
  EXPECT_EQ(level, 0);
  EXPECT_EQ(shell.links[kDesktop + L"Patchwell Hub.lnk"].iconPath, kProgram + L"Icons\\0.ico");

  files.RemoveFile(kProgram + L"Icons\\0.ico");
  EXPECT_FALSE(ChooseShortcutIcon(0, Context()));  // no program to take an icon from either
  files.AddFile(kProgram + L"PatchwellHub.exe", {'M', 'Z'});
  const auto choice = ChooseShortcutIcon(0, Context());
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->path, L"C:\\Temp\\0.ico");
}

}  // namespace
}  // namespace nudgelet::app
