#pragma once
// Every length the controls use is in pixels at 96 dpi; the window host turns
// them into device pixels through this one factor, so per-monitor DPI can come
// later without touching a control.

#include "skin/Font.h"

namespace nudgelet::ui {

struct Scale {
  int dpi = 96;
  int ToDevice(int logical) const { return skin::MulDiv(logical, dpi, 96); }
  int ToLogical(int device) const { return skin::MulDiv(device, 96, dpi); }
};

}  // namespace nudgelet::ui
