#pragma once
// TRdTimer: a timer component without a window. It runs while it is enabled,
// has an interval and has someone to tell; any change of those restarts it.

#include <atomic>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "skin/Component.h"
#include "ui/Control.h"
#include "ui/Timers.h"

namespace nudgelet::ui {

// The system had no timer to give, three times in a row.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TRdTimer : public skin::TComponent {
 public:
  explicit TRdTimer(TimerService& timers);
  ~TRdTimer() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  // A handler given anew restarts the timer, as a changed one does.
  void SetOnTimer(TNotifyEvent handler);
  bool HasOnTimer() const { return static_cast<bool>(onTimer_); }

  bool Running() const { return id_.has_value(); }
  // Timers of this kind running in the process.
  static int LiveTimers() { return live_.load(); }

  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler);

 private:
  void Restart();
  void Tick();

  TimerService& timers_;
  std::mutex mutex_;
  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  std::optional<TimerId> id_;
  static std::atomic<int> live_;
};

}  // namespace nudgelet::ui
