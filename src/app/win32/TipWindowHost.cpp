#include "app/win32/TipWindowHost.h"

#include <shellapi.h>

#include <memory>
#include <optional>

#include "app/Language.h"
#include "app/ProcessEnd.h"
#include "app/ProductLocations.h"
#include "app/RunDecision.h"
#include "app/ShortcutIcon.h"
#include "app/Statistics.h"
#include "app/TipDetection.h"
#include "app/TipWindow.h"
#include "app/win32/ForegroundWindow.h"
#include "app/win32/ShellShortcuts.h"
#include "app/win32/TaskbarButton.h"
#include "base/DateTime.h"
#include "base/Strings.h"
#include "platform/Crypto.h"
#include "platform/SpecialFolders.h"
#include "platform/win32/ShellFileIcons.h"
#include "settings/LogHelper.h"
#include "settings/UserDataFolder.h"
#include "settings/win32/IniFile.h"
#include "skin/SkinStyle.h"
#include "skin/UiPackSource.h"
#include "ui/StandardClasses.h"
#include "ui/win32/FormSkinWindow.h"
#include "ui/win32/NativeWindow.h"
#include "ui/win32/UiRuntime.h"

namespace nudgelet::app::win32 {
namespace {

// A form's text, kept in the program as a resource of its own.
std::optional<std::wstring> FormResource(const wchar_t* name) {
  const HRSRC found = ::FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return std::nullopt;
  const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
  if (!bytes) return std::nullopt;
  return Utf8ToWide(std::string_view(bytes, ::SizeofResource(nullptr, found)));
}

Rect PrimaryWorkArea() {
  RECT area{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return {area.left, area.top, area.right, area.bottom};
}

TDateTime Now(const platform::SystemFacts& system) { return EncodeDateTime(system.LocalTime()).value_or(0); }

// The generic program icon for rows whose program has none of its own.
Bitmap DefaultProgramIcon() { return platform::win32::BitmapFromIcon(::LoadIconW(nullptr, IDI_APPLICATION), 32); }

void ReportToDebugger(const std::wstring& what) { ::OutputDebugStringW((L"Nudgelet: " + what).c_str()); }

// The product's shortcuts on the user's and the all-users desktop, with
// [Icon] IconLevel of Main.ini as the level they were last given.
ShortcutIconContext ShortcutContext(const platform::Platform& p, ShortcutShell& shell, const std::wstring& programFolder) {
  const std::wstring mainIni = GetMainIniPath(p);
  auto readLevel = [&p, mainIni] {
    if (!p.files.FileExists(mainIni)) return 0;
    const platform::win32::TIniFile ini(p.files, mainIni, platform::win32::TIniFile::AsItIs{});
    return static_cast<int>(ini.ReadInteger(L"Icon", L"IconLevel", 0));
  };
  auto writeLevel = [&p, mainIni](int level) {
    platform::win32::TIniFile ini(p.files, mainIni, platform::win32::TIniFile::AsItIs{});
    ini.WriteInteger(L"Icon", L"IconLevel", level);
  };
  return {p.files,
          shell,
          programFolder,
          p.folders.TempPath(),
          {p.folders.ShellFolder(platform::csidl::kDesktopDirectory),
           p.folders.ShellFolder(platform::csidl::kCommonDesktopDirectory)},
          readLevel,
          writeLevel,
          ReportToDebugger};
}

}  // namespace

int RunTipWindow(const platform::Platform& p, HWND applicationWindow, const std::wstring& programFolder) {
  const std::optional<std::wstring> formText = FormResource(L"FORM_SOFTUPDATECOMBOX");
  const std::optional<std::wstring> frameText = FormResource(L"FRAME_SOFTUPDATA");
  if (!formText || !frameText) return 0;

  // The skin, as the window's skin style names it: "skin\public.rcc" and "skin\classic.rcc".
  skin::UiPackSource source(p.libraries);
  skin::PackageStore store(source, p.files, programFolder);
  skin::SkinStyleContext styles(store, p.files, programFolder);
  skin::TRdSkinStyle style(styles, L"RdSkinStyle1", L"Main");
  style.BeginLoading();
  style.SetRuntimePath(L"skin");
  style.SetPublicRccFiles({L"public.rcc"});
  style.SetSkinRccFile(L"classic.rcc");
  style.Loaded();
  // Without its skin the window would be a grey box with no pictures: no
  // reminder is better than a broken one.
  if (!store.ReadResource(L"images/img_window_update.png") || !store.SectionValues(L"TRdImageButton", L"btn_close")) {
    ReportToDebugger(L"the skin packages cannot be read");
    return 0;
  }
  skin::SkinClassRegistry skins(store);
  ui::win32::UiRuntime runtime(store, skins);
  const ui::ControlClasses classes = ui::StandardControlClasses();

  const std::wstring userData = GetUserDataFolder(p);
  const platform::win32::ShellFileIcons icons;
  TipDetection detection({p, platform::SystemCrypto(), icons, programFolder + L"sqlite3.dll", p.folders.TempPath(),
                          userData, p.folders.ExecutablePath(), DefaultProgramIcon()});
  ShellShortcuts shortcuts;
  const ui::win32::Win32FormSkinWindow::Dwm dwm = ui::win32::Win32FormSkinWindow::SystemDwm();
  std::unique_ptr<ui::win32::NativeWindow> window;

  TForm_SoftupdateCombox::Services s;
  s.endProcess = [] { EndProcessAtOnce(); };
  s.programFolder = programFolder;
  s.installFolder = GetInstallFolder(p);
  s.fileExists = [&p](const std::wstring& path) { return p.files.FileExists(path); };
  s.probeDatabase = [&detection](const std::wstring& path) { return detection.ProbeDatabase(path); };
  s.log = [](const std::wstring& code, const std::wstring& message) {
    TLogHelper::Log(code, message, L"NUDGELET", false, 0);
  };
  s.runDetection = [&](TFrame_SoftUpdata& frame) {
    if (!detection.Run(frame, programFolder + L"Database\\VessaUpdate.dbd")) EndProcessAtOnce();
  };
  s.releaseDetection = [&detection] { detection.Release(); };
  s.compositionEnabled = dwm.compositionEnabled;
  s.workArea = PrimaryWorkArea;
  s.isAutoUpdateOff = [&p] { return IsAutoUpdateOff(p.files, GetMainIniPath(p)); };
  s.isForegroundFullScreen = [&p] { return IsForegroundFullScreen(p.system); };
  s.statistic = [](const std::wstring& event, int number) { Statistics().DoStatistic(kStatProduct, event, number); };
  s.shellOpen = [&window](const std::wstring& file, const std::wstring& parameters) {
    ::ShellExecuteW(window ? window->Handle() : nullptr, L"Open", file.c_str(), parameters.c_str(), L"",
                    SW_SHOWNORMAL);
  };
  s.startDrag = [&window] {
    if (!window) return;
    ::ReleaseCapture();
    ::PostMessageW(window->Handle(), WM_SYSCOMMAND, 0xF012, 0);  // move, as by the caption
  };
  s.removeTaskbarButton = [applicationWindow, &p] { RemoveTaskbarButton(applicationWindow, p.system); };
  s.getText = [](const std::wstring& key, const std::wstring& english) { return GetText(key, english); };
  if (Language() && Language()->IsLoaded()) {
    s.loadLanguageSection = [](const std::wstring& section) { Language()->LoadSection(section); };
  }
  s.closeText = Captions().close;
  s.frameForm = *frameText;
  s.frameHooks.endProcess = [] { EndProcessAtOnce(); };
  s.frameHooks.updateShortcutIcon = [&](int count) {
    UpdateShortcutIcon(count, ShortcutContext(p, shortcuts, programFolder));
  };
  s.frameHooks.now = [&p] { return Now(p.system); };
  s.frameHooks.getText = s.getText;
  s.frameHooks.files = &p.files;
  s.frameHooks.showTimesPath = userData + L"SoftTip.ini";

  TForm_SoftupdateCombox form(runtime.Context(), std::move(s));
  try {
    form.LoadForm(*formText, classes);
  } catch (const ui::FormReadError& error) {
    ReportToDebugger(Utf8ToWide(error.what()));
    return 0;
  }
  form.Create();

  // A pop-up of its own kind: composited, and owned by the hidden application
  // window so that it has no taskbar button of its own.
  window = ui::win32::NativeWindow::Create(form, applicationWindow, WS_POPUP | WS_CLIPCHILDREN, WS_EX_COMPOSITED);
  if (!window) return 0;
  ui::win32::Win32FormSkinWindow skinWindow(*window, form.FormSkin(), dwm);
  ::SetWindowPos(window->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  form.FormShow();
  // The reminder never takes the focus from what the user is doing.
  ::ShowWindow(window->Handle(), SW_SHOWNOACTIVATE);
  return ui::win32::RunMessageLoop();
}

}  // namespace nudgelet::app::win32
