#pragma once
#include "app/DpiDecision.h"
#include "platform/Platform.h"

namespace nudgelet::app::win32 {

// Reads the process's DPI situation, decides and, where decided, declares the
// process DPI-aware. Returns the plan that was carried out.
DpiPlan ApplyDpiDecision(const platform::Platform& p);

}  // namespace nudgelet::app::win32
