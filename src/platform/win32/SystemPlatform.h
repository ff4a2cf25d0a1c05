#pragma once
#include "platform/Platform.h"

namespace nudgelet::platform::win32 {

// The platform services of the running Windows system. Lives for the whole process.
const Platform& SystemPlatform();

}  // namespace nudgelet::platform::win32
