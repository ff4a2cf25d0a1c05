#pragma once
// What every control of a process shares: the skin, text drawing, timers, the
// scale and the system's metrics. The program makes one; tests make their own
// with fakes.

#include "skin/ColorTable.h"
#include "skin/PackageStore.h"
#include "skin/SkinClass.h"
#include "ui/Scale.h"
#include "ui/TextRenderer.h"
#include "ui/Timers.h"

namespace nudgelet::ui {

// The few system values controls fall back on; Windows fills them in.
struct SystemMetrics {
  int scrollArrowWidth = 17;     // SM_CXVSCROLL
  int scrollArrowHeight = 17;    // SM_CYVSCROLL
  int hScrollArrowWidth = 17;    // SM_CXHSCROLL
  int hScrollArrowHeight = 17;   // SM_CYHSCROLL
  int verticalThumbHeight = 17;  // SM_CYVTHUMB
  int screenWidth = 1024;
  int screenHeight = 768;
  unsigned hintPauseMs = 500;
  unsigned hintHideMs = 2500 * 4;
};

struct UiContext {
  skin::PackageStore& store;
  skin::SkinClassRegistry& skins;
  TextRenderer& text;
  TimerService& timers;
  Scale scale;
  SystemMetrics metrics;

  skin::ColorTable& Colors() const { return store.Colors(); }
};

}  // namespace nudgelet::ui
