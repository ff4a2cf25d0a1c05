#pragma once
// Some products ship one installer per language, and only their English
// editions are offered; which edition is installed is told by product.

#include "detection/SoftViewInfo.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

// True for every product without editions.
bool IsEnglishEdition(const platform::Platform& p, const TSoftViewInfo& record);

}  // namespace nudgelet::detection
