#include "app/win32/DpiAwareness.h"

#include <windows.h>

#include <exception>

#include "base/Strings.h"

namespace nudgelet::app::win32 {
namespace {

using IsProcessDpiAwareFn = BOOL(WINAPI*)();
using SetProcessDpiAwareFn = BOOL(WINAPI*)();
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);

struct DpiEntryPoints {
  IsProcessDpiAwareFn isAware = nullptr;
  SetProcessDpiAwareFn setAware = nullptr;
  GetProcessDpiAwarenessFn getAwareness = nullptr;
  SetProcessDpiAwarenessFn setAwareness = nullptr;
};

// Only libraries the process has already loaded are asked; none is loaded for this.
DpiEntryPoints ResolveEntryPoints(const platform::Platform& p) {
  DpiEntryPoints e;
  if (auto user32 = p.libraries.FindLoaded(L"user32.dll")) {
    e.isAware = user32->ResolveAs<IsProcessDpiAwareFn>("IsProcessDPIAware");
    e.setAware = user32->ResolveAs<SetProcessDpiAwareFn>("SetProcessDPIAware");
  }
  if (auto shcore = p.libraries.FindLoaded(L"Shcore.dll")) {
    e.getAwareness = shcore->ResolveAs<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness");
    e.setAwareness = shcore->ResolveAs<SetProcessDpiAwarenessFn>("SetProcessDpiAwareness");
  }
  return e;
}

}  // namespace

DpiPlan ApplyDpiDecision(const platform::Platform& p) {
  DpiEnvironment env;
  env.version = p.system.Version();
  if (env.version.major < 6) return {};
  const DpiEntryPoints e = ResolveEntryPoints(p);
  try {
    env.hasIsProcessDpiAware = e.isAware != nullptr;
    env.hasSetProcessDpiAware = e.setAware != nullptr;
    env.hasGetProcessDpiAwareness = e.getAwareness != nullptr;
    env.hasSetProcessDpiAwareness = e.setAwareness != nullptr;
    if (e.isAware) env.isProcessDpiAware = e.isAware() != FALSE;
    if (e.getAwareness) {
      int awareness = 0;
      env.getProcessDpiAwarenessSucceeded = SUCCEEDED(e.getAwareness(::GetCurrentProcess(), &awareness));
      env.processDpiAwareness = awareness;
    }
    env.logPixelsY = p.system.ScreenDpi();
  } catch (const std::exception& error) {
    p.system.DebugOutput(L"Excepction e: " + Utf8ToWide(error.what()));
  }
  env.screen = p.system.PrimaryScreenSize();

  const DpiPlan plan = DecideDpi(env);
  if (!plan.MakesAware()) return plan;
  p.system.DebugOutput(L"************** Win32MinorVersion: " + std::to_wstring(env.version.minor));
  if (plan.callSetProcessDpiAware && e.setAware) e.setAware();
  if (plan.callSetProcessDpiAwareness && e.setAwareness) e.setAwareness(2);
  return plan;
}

}  // namespace nudgelet::app::win32
