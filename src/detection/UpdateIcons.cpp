#include "detection/UpdateIcons.h"

#include "detection/IconFile.h"
#include "detection/UpdateList.h"

namespace nudgelet::detection {

std::vector<Bitmap> LoadIcons(std::vector<TSoftViewInfo>& candidates, const IconContext& c) {
  std::vector<Bitmap> list;
  list.reserve(candidates.size() + 1);
  list.push_back(c.defaultIcon);
  const Bitmap empty(32, 32);
  for (TSoftViewInfo& candidate : candidates) {
    if (!candidate.DisplayIcon.empty()) {
      const IconLocation location = ParseIconLocation(candidate.DisplayIcon);
      std::optional<Bitmap> icon;
      if (c.files.FileExists(location.path)) icon = c.icons.FileIcon(location.path, location.index);
      list.push_back(icon ? *icon : empty);
      continue;
    }
    std::optional<Bitmap> icon;
    if (const auto bytes = DecodeHexText(candidate.Icon)) icon = DecodeIconFile(bytes->data(), bytes->size());
    if (icon) {
      list.push_back(*icon);
      candidate.DisplayIcon = c.executablePath;
    } else {
      c.system.DebugOutput(L"Failed load from datebase:" + candidate.DisplayName);
      candidate.DisplayIcon.clear();
      list.push_back(empty);
    }
  }
  return list;
}

}  // namespace nudgelet::detection
