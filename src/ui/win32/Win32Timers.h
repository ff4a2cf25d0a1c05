#pragma once
// Timers without a window: SetTimer with no window handle, delivered by the
// thread's message loop. The system gives each an id; a map from id to
// callback replaces the per-timer code thunk a window-less timer would need.

#include "ui/Timers.h"

namespace nudgelet::ui::win32 {

class Win32Timers final : public TimerService {
 public:
  ~Win32Timers() override;
  std::optional<TimerId> Start(unsigned intervalMs, std::function<void()> tick, std::wstring& error) override;
  void Stop(TimerId id) override;
  void Sleep(unsigned ms) override;
};

}  // namespace nudgelet::ui::win32
