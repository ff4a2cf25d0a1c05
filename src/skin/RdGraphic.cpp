#include "skin/RdGraphic.h"

#include <algorithm>

namespace nudgelet::skin {

int MultiplyOpacity(int a, int b) { return std::clamp(a, 0, 255) * std::clamp(b, 0, 255) / 255; }

TRdGraphic::~TRdGraphic() {
  AttachTo(nullptr);
  const auto users = users_;
  users_.clear();
  for (TRdGraphic* user : users) {
    user->attached_ = nullptr;
    user->AttachedChanged();
  }
}

void TRdGraphic::AttachTo(TRdGraphic* source) {
  if (source == attached_) return;
  // A picture drawing from itself, directly or round a chain, would never end.
  for (TRdGraphic* at = source; at; at = at->attached_) {
    if (at == this) return;
  }
  if (attached_) std::erase(attached_->users_, this);
  attached_ = source;
  if (attached_) attached_->users_.push_back(this);
}

void TRdGraphic::NotifyUsers() {
  // A user may attach elsewhere while it is told.
  const auto users = users_;
  for (TRdGraphic* user : users) {
    if (std::find(users_.begin(), users_.end(), user) != users_.end()) user->AttachedChanged();
  }
}

}  // namespace nudgelet::skin
