#include "platform/posix/DriveRootedFileSystem.h"

#include <dirent.h>

#include <memory>

#include "base/Strings.h"

namespace nudgelet::platform::posix {
namespace {

// The entry of folder whose name equals name ignoring case; name itself when none does.
std::wstring FindEntry(const std::wstring& folder, const std::wstring& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(WideToUtf8(folder).c_str()), &::closedir);
  if (!dir) return name;
  std::wstring fallback;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::wstring candidate = Utf8ToWide(entry->d_name);
    if (candidate == name) return candidate;
    if (fallback.empty() && EqualsIgnoreCase(candidate, name)) fallback = candidate;
  }
  return fallback.empty() ? name : fallback;
}

}  // namespace

std::wstring DriveRootedFileSystem::Map(const std::wstring& windowsPath) const {
  // Windows' file functions take "\??\C:\..." and "\\?\C:\..." for the drive path
  // they prefix, so an uninstall entry's "\??\" folder exists there as it is.
  std::wstring path = windowsPath;
  if (path.rfind(L"\\??\\", 0) == 0 || path.rfind(L"\\\\?\\", 0) == 0) path.erase(0, 4);
  const bool drivePath = path.size() >= 2 && path[1] == L':' &&
                         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
  if (!drivePath) return windowsPath;
  std::wstring mapped = root_ + L"/" + FindEntry(root_, std::wstring(1, path[0]));
  std::size_t start = 2;
  while (start < path.size()) {
    std::size_t end = path.find_first_of(L"\\/", start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring component = path.substr(start, end - start);
    if (!component.empty() && component != L".") mapped += L"/" + FindEntry(mapped, component);
    start = end + 1;
  }
  return mapped;
}

}  // namespace nudgelet::platform::posix
