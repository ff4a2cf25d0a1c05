#pragma once
// Timers without a window, as the controls need them (a button's fade, a
// scroll bar's repeat, a hint's delay). Windows delivers them through the
// thread's message loop; tests drive a clock of their own.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nudgelet::ui {

using TimerId = std::uint64_t;

class TimerService {
 public:
  virtual ~TimerService() = default;
  // Calls `tick` every `intervalMs` until stopped; nullopt when the system has
  // no timer to give, with its reason in `error`.
  virtual std::optional<TimerId> Start(unsigned intervalMs, std::function<void()> tick, std::wstring& error) = 0;
  virtual void Stop(TimerId id) = 0;
  // Waits before a retry.
  virtual void Sleep(unsigned ms) = 0;
};

// A timer a control owns: started and stopped by the control, gone with it.
class OwnedTimer {
 public:
  explicit OwnedTimer(TimerService& service) : service_(service) {}
  ~OwnedTimer() { Stop(); }
  OwnedTimer(const OwnedTimer&) = delete;
  OwnedTimer& operator=(const OwnedTimer&) = delete;

  // Restarts with the new interval; false when no timer could be had.
  bool Start(unsigned intervalMs, std::function<void()> tick);
  void Stop();
  bool Running() const { return id_.has_value(); }
  unsigned Interval() const { return interval_; }

 private:
  TimerService& service_;
  std::optional<TimerId> id_;
  unsigned interval_ = 0;
};

}  // namespace nudgelet::ui
