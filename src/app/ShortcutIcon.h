#pragma once
// The icon of the product's desktop shortcuts follows the number of updates:
// the normal icon below three, the "3+" icon from three on. Shortcuts are
// touched only when the level differs from the one remembered in Main.ini,
// so most runs open no shortcut at all.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace nudgelet::app {

// What a shortcut file holds.
struct ShortcutRecord {
  std::wstring target;
  std::wstring description;
  std::wstring workingFolder;
  std::wstring arguments;
  std::wstring iconPath;
  int iconIndex = 0;
  int showCommand = 1;
  unsigned hotKey = 0;
};

// The shell's shortcut files and what goes with them; Windows implements it
// with the shell-link object.
class ShortcutShell {
 public:
  virtual ~ShortcutShell() = default;
  // "*.lnk" in a folder, whatever their attributes.
  virtual std::vector<std::wstring> FindShortcuts(const std::wstring& folder) = 0;
  // nullopt with the reason in `error` when the file cannot be read as a shortcut.
  virtual std::optional<ShortcutRecord> Read(const std::wstring& path, std::wstring& error) = 0;
  virtual bool Write(const std::wstring& path, const ShortcutRecord& record, std::wstring& error) = 0;
  // The long form of a path; the path itself when there is none.
  virtual std::wstring LongPath(const std::wstring& path) = 0;
  virtual void NotifyAssociationsChanged() = 0;
  // Saves the program's large shell icon as an icon file; false when it could not.
  virtual bool SaveProgramIcon(const std::wstring& program, const std::wstring& iconFile) = 0;
};

struct IconChoice {
  int level = 0;  // 0: "0.ico", 1: "3+.ico"
  std::wstring path;
};

struct ShortcutIconContext {
  const platform::FileSystem& files;
  ShortcutShell& shell;
  std::wstring programFolder;          // with a trailing backslash
  std::wstring tempFolder;             // with a trailing backslash
  std::vector<std::wstring> desktops;  // the user's desktop, then the all-users desktop
  std::function<int()> readLevel;      // [Icon] IconLevel, 0 when absent
  std::function<void(int)> writeLevel;
  std::function<void(const std::wstring&)> debugOutput;
};

// The icon for a count, falling back to "0.ico" and then to the program's own
// icon saved in the temporary folder; nullopt when there is no icon at all.
std::optional<IconChoice> ChooseShortcutIcon(int count, const ShortcutIconContext& context);

// Sets the icon of every product shortcut to the level for `count`; answers
// how many shortcut files were rewritten.
int UpdateShortcutIcon(int count, const ShortcutIconContext& context);

}  // namespace nudgelet::app
