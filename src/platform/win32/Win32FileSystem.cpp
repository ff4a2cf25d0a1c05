#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

namespace nudgelet::platform::win32 {

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::wstring& path) const {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

bool Win32FileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) const {
  return ::SetFileAttributesW(path.c_str(), attributes) != FALSE;
}

bool Win32FileSystem::CreateFolders(const std::wstring& path) const {
  std::wstring folder = path;
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.empty() || DirectoryExists(folder)) return !folder.empty();
  const auto slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) {
    const std::wstring parent = folder.substr(0, slash);
    // Stop at a drive ("C:") or a UNC share root.
    if (parent.size() > 2 && !DirectoryExists(parent) && !CreateFolders(parent)) return false;
  }
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(folder);
}

}  // namespace nudgelet::platform::win32
