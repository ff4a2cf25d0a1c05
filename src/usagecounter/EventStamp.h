#pragma once
// The time and the identity given to each recorded event.

#include <string>

#include "usagestats/StatEvent.h"

namespace nudgelet::usagecounter {

usagestats::UtcTime NowUtc();

// 128 random bits as hexadecimal text.
std::wstring NewEventId();

}  // namespace nudgelet::usagecounter
