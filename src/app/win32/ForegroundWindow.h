#pragma once
#include "platform/SystemFacts.h"

namespace nudgelet::app::win32 {

// A program in front covers the whole primary screen (a game, a film, a
// presentation): the reminder must not disturb it.
bool IsForegroundFullScreen(const platform::SystemFacts& system);

}  // namespace nudgelet::app::win32
