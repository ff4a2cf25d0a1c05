#pragma once
// Facts about the operating system, the user and the display.

#include <cstdint>
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "base/Rect.h"

namespace nudgelet::platform {

struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;
  virtual OsVersion Version() const = 0;
  // True on 64-bit Windows, whatever the bitness of this process.
  virtual bool Is64BitWindows() const = 0;
  virtual Size PrimaryScreenSize() const = 0;
  virtual Rect WorkArea() const = 0;
  // LOGPIXELSY of a screen-compatible device context.
  virtual int ScreenDpi() const = 0;
  virtual bool IsCompositionEnabled() const = 0;
  virtual std::wstring UserName() const = 0;
  // nullopt when the variable is not set.
  virtual std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) const = 0;
  virtual DateTimeParts LocalTime() const = 0;
  virtual std::uint32_t CurrentThreadId() const = 0;
  // A line for an attached debugger (OutputDebugStringW).
  virtual void DebugOutput(const std::wstring& text) const = 0;
};

}  // namespace nudgelet::platform
