#include "app/ShortcutIcon.h"

#include "base/Paths.h"
#include "base/Strings.h"

namespace nudgelet::app {

std::optional<IconChoice> ChooseShortcutIcon(int count, const ShortcutIconContext& c) {
  IconChoice choice{count >= 3 ? 1 : 0, c.programFolder + L"Icons\\" + (count >= 3 ? L"3+.ico" : L"0.ico")};
  if (c.files.FileExists(choice.path)) return choice;
  choice = {0, c.programFolder + L"Icons\\0.ico"};
  if (c.files.FileExists(choice.path)) return choice;
  const std::wstring program = c.programFolder + L"PatchwellHub.exe";
  choice.path = c.tempFolder + L"0.ico";
  if (c.files.FileExists(program) && c.shell.SaveProgramIcon(program, choice.path) && c.files.FileExists(choice.path)) {
    return choice;
  }
  return std::nullopt;
}

int UpdateShortcutIcon(int count, const ShortcutIconContext& c) {
  const std::optional<IconChoice> choice = ChooseShortcutIcon(count, c);
  if (!choice) return 0;
  if (c.readLevel && c.readLevel() == choice->level) return 0;
  auto complain = [&](const std::wstring& error) {
    if (c.debugOutput) c.debugOutput(L"GetShellLinkInfo Exception=" + error);
  };
  int changed = 0;
  const std::wstring iconName = ExtractFileName(choice->path);
  for (const std::wstring& desktop : c.desktops) {
    if (desktop.empty()) continue;
    for (const std::wstring& path : c.shell.FindShortcuts(desktop)) {
      std::wstring error;
      std::optional<ShortcutRecord> record = c.shell.Read(path, error);
      if (!record) {
        complain(error);
        continue;
      }
      // Only shortcuts into the program folder are the product's.
      if (!EqualsIgnoreCase(ExtractFilePath(c.shell.LongPath(record->target)), c.programFolder)) continue;
      if (ExtractFileName(record->iconPath) == iconName) continue;
      record->iconPath = choice->path;
      record->iconIndex = 0;
      if (c.shell.Write(path, *record, error)) {
        ++changed;
      } else {
        complain(error);
      }
    }
  }
  if (changed > 0) c.shell.NotifyAssociationsChanged();
  if (c.writeLevel) c.writeLevel(choice->level);
  return changed;
}

}  // namespace nudgelet::app
