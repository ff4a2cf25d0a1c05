#include "ui/Timers.h"

namespace nudgelet::ui {

bool OwnedTimer::Start(unsigned intervalMs, std::function<void()> tick) {
  Stop();
  std::wstring error;
  id_ = service_.Start(intervalMs, std::move(tick), error);
  interval_ = id_ ? intervalMs : 0;
  return id_.has_value();
}

void OwnedTimer::Stop() {
  if (!id_) return;
  const TimerId id = *id_;
  id_.reset();
  interval_ = 0;
  service_.Stop(id);
}

}  // namespace nudgelet::ui
