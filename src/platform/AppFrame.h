#pragma once
// The folder catalogue of update detection: numbered folders, the all-users
// folders, and the expansion of the path macros that uninstall entries and the
// update database use.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::platform {

class TAppFrame {
 public:
  explicit TAppFrame(const platform::Platform& p);

  // Roaming application data, without trailing backslash.
  const std::wstring& AppDataFolder() const { return appData_; }
  // All-users application data, without trailing backslash.
  const std::wstring& CommonAppDataFolder() const { return commonAppData_; }
  // The running program's folder, with trailing backslash.
  const std::wstring& ProgramFolder() const { return programFolder_; }

  // Folder by id 0..35; empty for id 14, unknown ids and failed look-ups.
  std::wstring Folder(int id) const;
  // All-users folder by id 0..12; empty otherwise.
  std::wstring AllUsersFolder(int id) const;
  // The folder that holds the users' profiles, e.g. "C:\Users".
  std::wstring UsersRoot() const;

  // Replaces the first macro of the catalogue found in the path (every occurrence
  // of it, ignoring case). When that macro has an all-users folder, allUsers
  // receives the original path with the macro replaced by that folder; otherwise
  // it is cleared. A path without a macro is left as it is.
  void ExpandPathMacros(std::wstring& path, std::wstring& allUsers) const;

 private:
  const platform::Platform& p_;
  std::wstring appData_;
  std::wstring commonAppData_;
  std::wstring programFolder_;
};

// The program's own folder, with trailing backslash, from the path of its executable.
std::wstring ProgramFolderOf(const std::wstring& executablePath);

}  // namespace nudgelet::platform
