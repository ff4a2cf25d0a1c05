#pragma once
#include "platform/SystemFacts.h"

namespace nudgelet::platform::win32 {

class Win32SystemFacts final : public SystemFacts {
 public:
  OsVersion Version() const override;
  bool Is64BitWindows() const override;
  Size PrimaryScreenSize() const override;
  Rect WorkArea() const override;
  int ScreenDpi() const override;
  bool IsCompositionEnabled() const override;
  std::wstring UserName() const override;
  std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) const override;
  DateTimeParts LocalTime() const override;
  std::uint32_t CurrentThreadId() const override;
  void DebugOutput(const std::wstring& text) const override;
};

}  // namespace nudgelet::platform::win32
