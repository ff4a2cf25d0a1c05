#include "app/DpiDecision.h"

#include <algorithm>

namespace nudgelet::app {

bool IsLargeScreen(platform::Size screen) {
  const int longer = std::max(screen.width, screen.height);
  const int shorter = std::min(screen.width, screen.height);
  return longer >= 900 && shorter - 40 >= 600;
}

DpiPlan DecideDpi(const DpiEnvironment& env) {
  DpiPlan plan;
  if (env.version.major < 6) return plan;

  // Shcore's functions are looked at only for a process that already says it is aware.
  bool shcoreResolved = false;
  if (env.hasIsProcessDpiAware) {
    if (!env.isProcessDpiAware) {
      plan.detectStandardDpi = env.logPixelsY == 96;
    } else {
      shcoreResolved = env.hasSetProcessDpiAwareness;
      if (env.hasGetProcessDpiAwareness && env.getProcessDpiAwarenessSucceeded && env.processDpiAwareness == 0) {
        plan.detectStandardDpi = env.logPixelsY == 96;
      }
    }
  }
  plan.isLargeScreen = IsLargeScreen(env.screen);
  if (plan.detectStandardDpi && plan.isLargeScreen) return plan;

  const bool beforeWindows81 = env.version.minor < 3 && env.version.major < 10;
  if (beforeWindows81) {
    plan.callSetProcessDpiAware = env.hasSetProcessDpiAware;
    plan.callSetProcessDpiAwareness = shcoreResolved;
  } else {
    // Resolved late from an already loaded Shcore.dll when step one did not.
    plan.callSetProcessDpiAwareness = env.hasSetProcessDpiAwareness;
  }
  return plan;
}

}  // namespace nudgelet::app
