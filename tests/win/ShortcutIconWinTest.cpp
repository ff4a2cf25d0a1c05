// The shortcut icon level against real shortcut files through the shell-link
// object: scratch folders stand in for the two desktops and the program folder,
// so the prefix's own desktops are never written.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include "app/ShortcutIcon.h"
#include "app/win32/ShellShortcuts.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/win32/SystemPlatform.h"
#include "support/ScratchFolder.h"

namespace nudgelet {
namespace {

using app::ShortcutRecord;
using testing::ScratchFolder;

const platform::Platform& P() { return platform::win32::SystemPlatform(); }

struct ComSession {
  ComSession() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComSession() { ::CoUninitialize(); }
};

// ShellShortcuts::Write loads the file before it saves, so it only rewrites
// shortcuts; this lays down the bare file it starts from.
void CreateBareShortcut(const std::wstring& path, const std::wstring& target) {
  IShellLinkW* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
  IPersistFile* file = nullptr;
  link->SetPath(target.c_str());
  const bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                     SUCCEEDED(file->Save(path.c_str(), TRUE));
  if (file) file->Release();
  link->Release();
  ASSERT_TRUE(saved) << "could not create " << WideToUtf8(path);
}

// Counts every call, so a run that must leave the shortcuts alone can show it
// did not even look at them.
class CountingShell final : public app::ShortcutShell {
 public:
  explicit CountingShell(app::ShortcutShell& inner) : inner_(inner) {}
  int calls = 0;
  std::vector<std::wstring> FindShortcuts(const std::wstring& folder) override {
    return ++calls, inner_.FindShortcuts(folder);
  }
  std::optional<ShortcutRecord> Read(const std::wstring& path, std::wstring& error) override {
    return ++calls, inner_.Read(path, error);
  }
  bool Write(const std::wstring& path, const ShortcutRecord& record, std::wstring& error) override {
    return ++calls, inner_.Write(path, record, error);
  }
  std::wstring LongPath(const std::wstring& path) override { return inner_.LongPath(path); }
  void NotifyAssociationsChanged() override { inner_.NotifyAssociationsChanged(); }
  bool SaveProgramIcon(const std::wstring& program, const std::wstring& iconFile) override {
    return ++calls, inner_.SaveProgramIcon(program, iconFile);
  }

 private:
  app::ShortcutShell& inner_;
};

void CopyBesideTest(const std::wstring& name, const std::wstring& to) {
  const std::wstring from = ExtractFilePath(P().folders.ExecutablePath()) + L"Icons\\" + name;
  ASSERT_TRUE(::CopyFileW(from.c_str(), to.c_str(), FALSE)) << "missing " << WideToUtf8(from);
}

bool SameRecord(const ShortcutRecord& a, const ShortcutRecord& b) {
  return a.target == b.target && a.description == b.description && a.workingFolder == b.workingFolder &&
         a.arguments == b.arguments && a.iconPath == b.iconPath && a.iconIndex == b.iconIndex &&
         a.showCommand == b.showCommand && a.hotKey == b.hotKey;
}

TEST(ShortcutIconWin, ProductShortcutsFollowTheCountAndOthersStayAsTheyWere) {
  ComSession com;
  struct Row {
    int count;
    const wchar_t* icon;
    int level;
  };
  for (const Row& row : {Row{0, L"0.ico", 0}, Row{2, L"0.ico", 0}, Row{3, L"3+.ico", 1}, Row{5, L"3+.ico", 1}}) {
    SCOPED_TRACE(row.count);
    ScratchFolder program(L"prog"), other(L"other"), userDesktop(L"desk"), commonDesktop(L"alldesk"), temp(L"tmp");
    ASSERT_TRUE(P().files.CreateFolders(program.Path() + L"Icons"));
    CopyBesideTest(L"0.ico", program.File(L"Icons\\0.ico"));
    CopyBesideTest(L"3+.ico", program.File(L"Icons\\3+.ico"));
    ASSERT_TRUE(testing::WriteFileBytes(program.File(L"PatchwellHub.exe"), "MZ"));
    ASSERT_TRUE(testing::WriteFileBytes(other.File(L"Quillnote.exe"), "MZ"));

    app::win32::ShellShortcuts shell;
    std::wstring error;
    const ShortcutRecord productBefore{program.File(L"PatchwellHub.exe"),
                                       L"Patchwell Hub",
                                       program.Path(),
                                       L"/Desktop",
                                       program.File(L"PatchwellHub.exe"),
                                       0,
                                       SW_SHOWNORMAL,
                                       0};
    const ShortcutRecord otherBefore{other.File(L"Quillnote.exe"),
                                     L"Quillnote",
                                     other.Path(),
                                     L"",
                                     program.File(L"Icons\\0.ico"),
                                     0,
                                     SW_SHOWMAXIMIZED,
                                     0};
    const std::wstring product = commonDesktop.File(L"Patchwell Hub.lnk"), unrelated = userDesktop.File(L"Quill.lnk");
    CreateBareShortcut(product, productBefore.target);
    CreateBareShortcut(unrelated, otherBefore.target);
    ASSERT_TRUE(shell.Write(product, productBefore, error)) << WideToUtf8(error);
    ASSERT_TRUE(shell.Write(unrelated, otherBefore, error)) << WideToUtf8(error);
    const ShortcutRecord otherAsRead = *shell.Read(unrelated, error);

    int stored = 1 - row.level;  // the other level, so this run has work to do
    CountingShell counting(shell);
    const app::ShortcutIconContext context{P().files,
                                           counting,
                                           program.Path(),
                                           temp.Path(),
                                           {userDesktop.Path(), commonDesktop.Path()},
                                           [&] { return stored; },
                                           [&](int level) { stored = level; },
                                           {}};
    EXPECT_EQ(app::UpdateShortcutIcon(row.count, context), 1);
    EXPECT_EQ(stored, row.level);
    const std::optional<ShortcutRecord> productAfter = shell.Read(product, error);
    ASSERT_TRUE(productAfter) << WideToUtf8(error);
    EXPECT_TRUE(EqualsIgnoreCase(productAfter->iconPath, program.File(L"Icons\\") + row.icon))
        << WideToUtf8(productAfter->iconPath);
    EXPECT_EQ(productAfter->iconIndex, 0);
    ShortcutRecord rest = *productAfter;
    rest.iconPath = productBefore.iconPath;
    EXPECT_TRUE(SameRecord(rest, productBefore)) << "only the icon may change";
    EXPECT_TRUE(SameRecord(*shell.Read(unrelated, error), otherAsRead));

    // The level already matches: not one shortcut is opened, even one that is off.
    ASSERT_TRUE(shell.Write(product, productBefore, error));
    counting.calls = 0;
    EXPECT_EQ(app::UpdateShortcutIcon(row.count, context), 0);
    EXPECT_EQ(counting.calls, 0);
    EXPECT_TRUE(SameRecord(*shell.Read(product, error), productBefore));
  }
}

}  // namespace
}  // namespace nudgelet
