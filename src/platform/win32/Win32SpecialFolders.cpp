#include "platform/win32/Win32SpecialFolders.h"

#include <windows.h>

#include <shlobj.h>

namespace nudgelet::platform::win32 {
namespace {

// The fixed-size answers of the directory functions, grown when a path is longer.
template <typename Fn>
std::wstring QueryPath(Fn query) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length + 1);
  }
  return {};
}

}  // namespace

std::wstring Win32SpecialFolders::ShellFolder(int csidl) const {
  wchar_t path[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
  return path;
}

std::wstring Win32SpecialFolders::WindowsDirectory() const {
  return QueryPath([](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); });
}

std::wstring Win32SpecialFolders::SystemDirectory() const {
  return QueryPath([](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); });
}

std::wstring Win32SpecialFolders::TempPath() const {
  return QueryPath([](wchar_t* b, UINT n) { return static_cast<UINT>(::GetTempPathW(n, b)); });
}

std::wstring Win32SpecialFolders::ExecutablePath() const {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace nudgelet::platform::win32
