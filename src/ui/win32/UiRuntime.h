#pragma once
// What a program needs to show controls on Windows: GDI text, the system's
// timers, its metrics and colours, and the message loop.

#include "skin/PackageStore.h"
#include "skin/SkinClass.h"
#include "ui/UiContext.h"
#include "ui/win32/GdiTextRenderer.h"
#include "ui/win32/Win32Timers.h"

namespace nudgelet::ui::win32 {

SystemMetrics ReadSystemMetrics();

class UiRuntime {
 public:
  UiRuntime(skin::PackageStore& store, skin::SkinClassRegistry& skins);
  UiContext& Context() { return context_; }

 private:
  GdiTextRenderer text_;
  Win32Timers timers_;
  UiContext context_;
};

// Runs until WM_QUIT; an exception from a window procedure ends it and goes on to the caller.
int RunMessageLoop();
// Handles what is waiting without blocking; false once WM_QUIT has come.
bool PumpMessages();

}  // namespace nudgelet::ui::win32
