#pragma once
// The icons of the update list: index 0 the default program icon, index k + 1
// the icon of candidate k, so that rows and icons stay aligned whatever fails.

#include <optional>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "detection/SoftViewInfo.h"
#include "platform/FileIconSource.h"
#include "platform/FileSystem.h"
#include "platform/SystemFacts.h"

namespace nudgelet::detection {

struct IconContext {
  const platform::FileIconSource& icons;
  const platform::FileSystem& files;
  const platform::SystemFacts& system;
  std::wstring executablePath;  // the running program, the stand-in file of database icons
  Bitmap defaultIcon;
};

// Builds the icon list. A candidate without DisplayIcon gets the database's icon
// and, when that loads, the program's own path as DisplayIcon; a failing icon
// leaves an empty image in its slot.
std::vector<Bitmap> LoadIcons(std::vector<TSoftViewInfo>& candidates, const IconContext& context);

}  // namespace nudgelet::detection
