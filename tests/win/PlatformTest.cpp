// The platform layer against the real Windows API (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"

#include "base/Strings.h"
#include "platform/PeVersion.h"
#include "platform/ProcessModel.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellFileIcons.h"
#include "platform/win32/SystemPlatform.h"
#include "support/Screenshot.h"

namespace nudgelet {
namespace {

using testing::RunToEnd;

using platform::RegistryRoot;
using platform::RegistryView;
using platform::win32::SystemPlatform;
using platform::win32::UniqueKernelHandle;

const platform::Platform& P() { return SystemPlatform(); }

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s = path;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

TEST(Win32Registry, ReadsWhatRegAddWrote) {
  ASSERT_EQ(RunToEnd(L"reg.exe add HKCU\\Software\\NudgeletTest\\Probe /v Text /t REG_SZ /d \"hello world\" /f"), 0u);
  ASSERT_EQ(RunToEnd(L"reg.exe add HKCU\\Software\\NudgeletTest\\Probe /v Count /t REG_DWORD /d 42 /f"), 0u);
  ASSERT_EQ(RunToEnd(L"reg.exe add HKCU\\Software\\NudgeletTest\\Probe\\Child /f"), 0u);

  auto key = P().registry.OpenReadOnly(RegistryRoot::CurrentUser, L"\\Software\\NudgeletTest\\Probe",
                                       platform::kOwnRegistryView);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadText(L"Text"), L"hello world");
  EXPECT_EQ(key->ReadText(L"text"), L"hello world");
  EXPECT_EQ(key->ReadDword(L"Count"), 42u);
  EXPECT_EQ(key->ReadText(L"Count"), L"42");
  EXPECT_FALSE(key->ReadDword(L"Text"));
  EXPECT_FALSE(key->ReadText(L"Missing"));
  EXPECT_EQ(key->SubKeyNames(), std::vector<std::wstring>{L"Child"});
  EXPECT_TRUE(key->OpenSubKey(L"child"));
  EXPECT_FALSE(key->OpenSubKey(L"Nope"));
  EXPECT_FALSE(
      P().registry.OpenReadOnly(RegistryRoot::CurrentUser, L"Software\\NudgeletTest\\Nope", RegistryView::Default));
}

TEST(Win32Registry, ReadsValuesWholeAtEverySize) {
  // Around the size read in one call (4 KiB), and well beyond it.
  for (const std::size_t length : {std::size_t{0}, std::size_t{2047}, std::size_t{2048}, std::size_t{3000}}) {
    std::wstring text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<wchar_t>(L'a' + i % 26));
    ASSERT_EQ(RunToEnd(L"reg.exe add HKCU\\Software\\NudgeletTest\\Sizes /v Text /t REG_SZ /d \"" + text + L"\" /f"),
              0u);
    auto key = P().registry.OpenReadOnly(RegistryRoot::CurrentUser, L"Software\\NudgeletTest\\Sizes",
                                         platform::kOwnRegistryView);
    ASSERT_TRUE(key);
    const auto value = key->ReadValue(L"Text");
    ASSERT_TRUE(value) << length;
    EXPECT_EQ(value->data.size(), (length + 1) * 2);
    EXPECT_EQ(platform::RegistryValueAsText(*value), text);
  }
}

// The inventory's snapshot rests on this: a key's listed time moves whenever
// one of its values changes, and a time too fresh to tell a second change in
// the same clock tick apart is withheld.
TEST(Win32Registry, ListedTimesMoveWithEveryChangeAndAreWithheldWhileFresh) {
  const std::wstring parentPath = L"Software\\NudgeletTest\\Times";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, parentPath.c_str());
  HKEY entry = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (parentPath + L"\\Entry").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &entry, nullptr),
            ERROR_SUCCESS);
  const auto set = [entry](DWORD value) {
    return ::RegSetValueExW(entry, L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  };
  ASSERT_EQ(set(1), ERROR_SUCCESS);
  const auto listedTime = [&] {
    const auto parent = P().registry.OpenReadOnly(RegistryRoot::CurrentUser, parentPath, platform::kOwnRegistryView);
    const auto keys = parent ? parent->SubKeys() : std::vector<platform::RegistrySubKey>{};
    return keys.size() == 1 && keys[0].name == L"Entry" ? keys[0].lastWriteTime : ~std::uint64_t{0};
  };

  EXPECT_EQ(listedTime(), 0u);
  ::Sleep(2500);
  const std::uint64_t settled = listedTime();
  EXPECT_NE(settled, 0u);
  EXPECT_EQ(listedTime(), settled);

  ASSERT_EQ(set(2), ERROR_SUCCESS);
  EXPECT_EQ(listedTime(), 0u);
  ::Sleep(2500);
  const std::uint64_t changed = listedTime();
  EXPECT_NE(changed, 0u);
  EXPECT_NE(changed, settled);

  ::RegCloseKey(entry);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, parentPath.c_str());
}

TEST(Win32Registry, OwnViewIsTheThirtyTwoBitView) {
  // Written through the 32-bit view, as the product's installer does.
  ASSERT_EQ(RunToEnd(L"reg.exe add HKLM\\Software\\NudgeletTest32 /v Where /d wow /f /reg:32"), 0u);
  auto own =
      P().registry.OpenReadOnly(RegistryRoot::LocalMachine, L"Software\\NudgeletTest32", platform::kOwnRegistryView);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->ReadText(L"Where"), L"wow");
  EXPECT_FALSE(
      P().registry.OpenReadOnly(RegistryRoot::LocalMachine, L"Software\\NudgeletTest32", RegistryView::Bits64));
  // A subkey opened from an open key stays in that key's view.
  EXPECT_TRUE(P().registry.OpenReadOnly(RegistryRoot::LocalMachine, L"Software", platform::kOwnRegistryView)
                  ->OpenSubKey(L"NudgeletTest32"));
  EXPECT_FALSE(P().registry.OpenReadOnly(RegistryRoot::LocalMachine, L"Software", RegistryView::Bits64)
                   ->OpenSubKey(L"NudgeletTest32"));
  EXPECT_TRUE(P().registry.OpenReadOnly(RegistryRoot::LocalMachine, L"Software\\WOW6432Node\\NudgeletTest32",
                                        RegistryView::Bits64));
}

TEST(Win32Kernel, NamedMutexIsTakenOnce) {
  const std::wstring name = L"NUDGELET_TEST_" + std::to_wstring(::GetCurrentProcessId());
  UniqueKernelHandle first(::CreateMutexW(nullptr, TRUE, name.c_str()));
  ASSERT_TRUE(first);
  EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  UniqueKernelHandle second(::CreateMutexW(nullptr, TRUE, name.c_str()));
  ASSERT_TRUE(second);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST(Win32Processes, SeesItsOwnImage) {
  EXPECT_TRUE(platform::IsProcessRunning(P().processes, L"NUDGELET_WIN_TESTS.EXE"));
  EXPECT_FALSE(platform::IsProcessRunning(P().processes, L"no-such-program.exe"));
}

TEST(Win32DynamicLibraries, ResolvesExportsByName) {
  auto probe = P().libraries.Load(ExeFolder() + L"nudgelet_probe.dll");
  ASSERT_TRUE(probe);
  using AddFn = int(WINAPI*)(int, int);
  auto add = probe->ResolveAs<AddFn>("NudgeletProbeAdd");
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(40, 2), 42);
  EXPECT_EQ(probe->Resolve("NoSuchExport"), nullptr);

  EXPECT_FALSE(P().libraries.Load(ExeFolder() + L"missing-library.dll"));
  auto kernel = P().libraries.FindLoaded(L"kernel32.dll");
  ASSERT_TRUE(kernel);
  EXPECT_NE(kernel->Resolve("GetTickCount"), nullptr);
  EXPECT_FALSE(P().libraries.FindLoaded(L"never-loaded-library.dll"));
}

TEST(Win32Folders, SpecialFoldersFollowTheThirtyTwoBitProgram) {
  const bool is64 = P().system.Is64BitWindows();
  EXPECT_TRUE(is64);
  const std::wstring programFiles =
      P().folders.ShellFolder(platform::ShellFolderCsidl(platform::csidl::kProgramFiles, is64));
  EXPECT_TRUE(EqualsIgnoreCase(programFiles, L"C:\\Program Files (x86)")) << WideToUtf8(programFiles);
  EXPECT_FALSE(P().folders.ShellFolder(platform::csidl::kAppData).empty());
  EXPECT_FALSE(P().folders.WindowsDirectory().empty());
  EXPECT_FALSE(P().folders.SystemDirectory().empty());
  EXPECT_EQ(P().folders.TempPath().back(), L'\\');
}

TEST(Win32SystemFacts, DescribeTheTestMachine) {
  EXPECT_GE(P().system.Version().major, 6u);
  const auto screen = P().system.PrimaryScreenSize();
  EXPECT_GT(screen.width, 0);
  EXPECT_GT(screen.height, 0);
  const auto work = P().system.WorkArea();
  EXPECT_LE(work.Width(), screen.width);
  EXPECT_EQ(P().system.ScreenDpi(), 96);
  EXPECT_FALSE(P().system.UserName().empty());
  EXPECT_TRUE(P().system.EnvironmentVariable(L"APPDATA").has_value());
  EXPECT_FALSE(P().system.EnvironmentVariable(L"NUDGELET_SURELY_UNSET").has_value());
}

TEST(Win32FileSystem, CreatesNestedFoldersAndChangesAttributes) {
  const std::wstring base = P().folders.TempPath() + L"nudgelet-fs-" + std::to_wstring(::GetCurrentProcessId());
  const std::wstring deep = base + L"\\a\\b\\c";
  ASSERT_TRUE(P().files.CreateFolders(deep + L"\\"));
  EXPECT_TRUE(P().files.DirectoryExists(deep));
  EXPECT_FALSE(P().files.FileExists(deep));

  const std::wstring file = deep + L"\\f.txt";
  UniqueKernelHandle h(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h);
  h.Reset();
  EXPECT_TRUE(P().files.FileExists(file));
  ASSERT_TRUE(P().files.SetAttributes(file, platform::file_attribute::kReadOnly));
  EXPECT_TRUE(*P().files.Attributes(file) & platform::file_attribute::kReadOnly);
  // A file standing where a folder should be: no folder is made.
  EXPECT_FALSE(P().files.CreateFolders(file + L"\\sub"));
  P().files.SetAttributes(file, platform::file_attribute::kNormal);
  ::DeleteFileW(file.c_str());
  for (const std::wstring& d : {deep, base + L"\\a\\b", base + L"\\a", base}) ::RemoveDirectoryW(d.c_str());
}

TEST(Win32Shell, StartsProgramsAndReportsFailure) {
  const std::wstring marker = P().folders.TempPath() + L"nudgelet-shell-" + std::to_wstring(::GetCurrentProcessId());
  ::DeleteFileW(marker.c_str());
  platform::ShellExecuteRequest request;
  request.file = L"cmd.exe";
  request.parameters = L"/c echo started> \"" + marker + L"\"";
  request.showCommand = SW_HIDE;
  ASSERT_TRUE(P().shell.Execute(request));
  for (int i = 0; i < 100 && !P().files.FileExists(marker); ++i) ::Sleep(100);
  EXPECT_TRUE(P().files.FileExists(marker));
  ::DeleteFileW(marker.c_str());

  request.file = L"C:\\no\\such\\program.exe";
  request.parameters.clear();
  EXPECT_FALSE(P().shell.Execute(request));
}

TEST(Win32FileSystem, ReadsTheFixedFileVersionOfAProgram) {
  // The test's own program carries no version resource; Nudgelet.exe does.
  const std::wstring nudgelet = ExeFolder() + L"Nudgelet.exe";
  EXPECT_EQ(P().files.FixedFileVersion(nudgelet), (platform::FileVersion{1, 0, 0, 0}));
  // Our own reader of version resources, which the native build uses, agrees with the system.
  EXPECT_EQ(platform::ReadPeFileVersion([&](std::uint64_t offset, std::size_t count) {
              return P().files.ReadFilePart(nudgelet, offset, count).bytes;
            }),
            P().files.FixedFileVersion(nudgelet));
  EXPECT_FALSE(P().files.FixedFileVersion(P().folders.ExecutablePath()));
  EXPECT_FALSE(P().files.FixedFileVersion(ExeFolder() + L"no-such-file.exe"));
  const auto header = P().files.ReadFilePart(ExeFolder() + L"Nudgelet.exe", 0, 2);
  EXPECT_EQ(header.bytes, (std::vector<std::uint8_t>{'M', 'Z'}));
}

TEST(Win32FileIcons, DrawsAProgramsIconIntoThirtyTwoPixels) {
  platform::win32::ShellFileIcons icons;
  const auto icon = icons.FileIcon(P().folders.SystemDirectory() + L"\\notepad.exe", 0);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Width(), 32);
  int opaque = 0;
  for (std::uint32_t p : icon->Pixels()) opaque += (p >> 24) == 0xFF;
  EXPECT_GT(opaque, 32);
}

LRESULT CALLBACK SolidWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return ::DefWindowProcW(window, message, w, l);
}

TEST(Win32Window, ScreenshotShowsTheWindowColour) {
  constexpr COLORREF kColour = RGB(0x20, 0xA0, 0x60);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = SolidWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"NudgeletSolidTestWindow";
  platform::win32::UniqueHandle<platform::win32::NullIsInvalid<HBRUSH, &platform::win32::DeleteGdiObject>> brush(
      ::CreateSolidBrush(kColour));
  wc.hbrBackground = brush.Get();
  ASSERT_TRUE(::RegisterClassW(&wc));
  HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 100, 80, 200, 120,
                                  nullptr, nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window);
  // Let the window reach the screen.
  for (int i = 0; i < 20; ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(25);
  }

  const auto shot = testing::CaptureWindow(window);
  ASSERT_EQ(shot.width, 200);
  ASSERT_EQ(shot.height, 120);
  const std::wstring png = ExeFolder() + L"screenshot-solid-window.png";
  ASSERT_TRUE(testing::WritePng(testing::CaptureScreen(), png));
  ::DestroyWindow(window);
  ::UnregisterClassW(wc.lpszClassName, instance);

  const auto read = testing::ReadPng(png);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->width, P().system.PrimaryScreenSize().width);
  const std::uint32_t expected = (0x20u << 16) | (0xA0u << 8) | 0x60u;
  EXPECT_EQ(read->At(200, 140), expected);  // the window's middle, on the screen
  EXPECT_EQ(shot.At(100, 60), expected);
  EXPECT_NE(read->At(50, 50), expected);  // outside of it
}

}  // namespace
}  // namespace nudgelet
