#pragma once
// How far a position or size may reach, whatever a form or skin asks for: far
// beyond any screen, while sums of a few of them still fit an int.

#include <algorithm>
#include <cstdint>

namespace nudgelet {

inline constexpr int kMaxCoordinate = 1 << 24;

constexpr int ClampCoordinate(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -kMaxCoordinate, kMaxCoordinate));
}

}  // namespace nudgelet
