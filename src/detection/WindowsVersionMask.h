#pragma once
// The running system as the database's OsType masks name it.

#include "platform/SystemFacts.h"

namespace nudgelet::detection {

// The system's bit in the database's OsType mask: 1 before Vista, 2 Vista, 4 7,
// 8 8, 16 8.1, 32 10 and later (also for versions the mask does not list).
int WindowsVersionMask(platform::OsVersion version);

}  // namespace nudgelet::detection
