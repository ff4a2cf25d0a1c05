#pragma once
// Shortcut files through the shell-link object. COM must be initialised on
// the calling thread (start-up does it).

#include "app/ShortcutIcon.h"

namespace nudgelet::app::win32 {

class ShellShortcuts final : public ShortcutShell {
 public:
  std::vector<std::wstring> FindShortcuts(const std::wstring& folder) override;
  std::optional<ShortcutRecord> Read(const std::wstring& path, std::wstring& error) override;
  bool Write(const std::wstring& path, const ShortcutRecord& record, std::wstring& error) override;
  std::wstring LongPath(const std::wstring& path) override;
  void NotifyAssociationsChanged() override;
  bool SaveProgramIcon(const std::wstring& program, const std::wstring& iconFile) override;
};

}  // namespace nudgelet::app::win32
