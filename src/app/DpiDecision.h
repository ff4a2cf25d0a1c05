#pragma once
// Whether the program declares itself DPI-aware. On a standard 96-dpi display of
// a sensible size it stays unaware and lets Windows scale it; otherwise it
// draws for the real DPI itself.

#include "platform/SystemFacts.h"

namespace nudgelet::app {

// What the process finds at start-up. Entry points are looked up only in
// libraries already loaded ("user32.dll", "Shcore.dll").
struct DpiEnvironment {
  platform::OsVersion version;
  bool hasIsProcessDpiAware = false;
  bool hasSetProcessDpiAware = false;
  bool isProcessDpiAware = false;  // the answer of IsProcessDPIAware
  bool hasGetProcessDpiAwareness = false;
  bool hasSetProcessDpiAwareness = false;
  bool getProcessDpiAwarenessSucceeded = false;
  int processDpiAwareness = 0;  // the answer of GetProcessDpiAwareness
  int logPixelsY = 96;
  platform::Size screen;
};

struct DpiPlan {
  bool detectStandardDpi = false;
  bool isLargeScreen = false;
  bool callSetProcessDpiAware = false;
  bool callSetProcessDpiAwareness = false;  // with 2, per-monitor aware

  bool MakesAware() const { return callSetProcessDpiAware || callSetProcessDpiAwareness; }
};

// At least 900 pixels on the longer side and 640 on the shorter one.
bool IsLargeScreen(platform::Size screen);
DpiPlan DecideDpi(const DpiEnvironment& env);

}  // namespace nudgelet::app
