#include "ui/RdTimer.h"

#include "base/Strings.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

std::atomic<int> TRdTimer::live_{0};

const ClassInfo& TRdTimer::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdTimer", nullptr);
    Publisher<TRdTimer> p(c);
    p.String(
        L"Name", [](const TRdTimer& o) { return o.Name(); }, [](TRdTimer& o, const std::wstring& v) { o.SetName(v); });
    p.Boolean(
        L"Enabled", [](const TRdTimer& o) { return o.enabled_; }, [](TRdTimer& o, bool v) { o.SetEnabled(v); }, true);
    p.Integer(
        L"Interval", [](const TRdTimer& o) { return o.interval_; },
        [](TRdTimer& o, std::int64_t v) { o.SetInterval(static_cast<unsigned>(v)); }, 1000);
    return c;
  }();
  return info;
}

TRdTimer::TRdTimer(TimerService& timers) : timers_(timers) {}

TRdTimer::~TRdTimer() {
  enabled_ = false;
  Restart();
}

void TRdTimer::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Restart();
}

void TRdTimer::SetInterval(unsigned value) {
  if (interval_ == value) return;
  interval_ = value;
  Restart();
}

void TRdTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  Restart();
}

bool TRdTimer::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  if (!EqualsIgnoreCase(event, L"OnTimer")) return false;
  SetOnTimer(handler);
  return true;
}

void TRdTimer::Restart() {
  std::lock_guard lock(mutex_);
  if (id_) {
    timers_.Stop(*id_);
    id_.reset();
    --live_;
  }
  if (interval_ == 0 || !enabled_ || !onTimer_) return;
  std::wstring error;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) timers_.Sleep(100);
    id_ = timers_.Start(
        interval_, [this] { Tick(); }, error);
    if (id_) {
      ++live_;
      return;
    }
  }
  throw EOutOfResources(WideToUtf8(error + L":" + std::to_wstring(live_.load())));
}

void TRdTimer::Tick() {
  if (onTimer_) onTimer_(*this);
}

}  // namespace nudgelet::ui
