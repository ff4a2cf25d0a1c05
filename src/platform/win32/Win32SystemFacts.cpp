#include "platform/win32/Win32SystemFacts.h"

#include <windows.h>

#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {

OsVersion Win32SystemFacts::Version() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // The product's rules are written against what GetVersionExW reports (manifest-bound).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!::GetVersionExW(&info)) return {};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return {info.dwMajorVersion, info.dwMinorVersion};
}

bool Win32SystemFacts::Is64BitWindows() const {
#if defined(_WIN64)
  return true;
#else
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto isWow64 =
      kernel
          ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "IsWow64Process")))
          : nullptr;
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

Size Win32SystemFacts::PrimaryScreenSize() const {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

Rect Win32SystemFacts::WorkArea() const {
  RECT r{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) {
    const Size s = PrimaryScreenSize();
    return {0, 0, s.width, s.height};
  }
  return {r.left, r.top, r.right, r.bottom};
}

int Win32SystemFacts::ScreenDpi() const {
  UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return 96;
  return ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

bool Win32SystemFacts::IsCompositionEnabled() const {
  // dwmapi.dll is absent before Windows Vista: bind at run time.
  UniqueModule dwm(::LoadLibraryW(L"dwmapi.dll"));
  if (!dwm) return false;
  using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
  auto isEnabled = reinterpret_cast<IsEnabledFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(dwm.Get(), "DwmIsCompositionEnabled")));
  BOOL enabled = FALSE;
  return isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
}

std::wstring Win32SystemFacts::UserName() const {
  wchar_t name[257] = {};
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!::GetUserNameW(name, &size)) return {};
  return name;
}

std::optional<std::wstring> Win32SystemFacts::EnvironmentVariable(const std::wstring& name) const {
  DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();
  }
  std::wstring value(size, L'\0');
  size = ::GetEnvironmentVariableW(name.c_str(), value.data(), size);
  value.resize(size);
  return value;
}

DateTimeParts Win32SystemFacts::LocalTime() const {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::uint32_t Win32SystemFacts::CurrentThreadId() const { return ::GetCurrentThreadId(); }

void Win32SystemFacts::DebugOutput(const std::wstring& text) const { ::OutputDebugStringW(text.c_str()); }

}  // namespace nudgelet::platform::win32
