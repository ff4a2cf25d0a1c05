#pragma once
// The system's icons of files (an executable's own, or the one the shell shows
// for a document type).

#include <optional>
#include <string>

#include "base/Bitmap.h"

namespace nudgelet::platform {

class FileIconSource {
 public:
  virtual ~FileIconSource() = default;
  // The icon at that index of the file, as 32 × 32; nullopt when there is none.
  virtual std::optional<Bitmap> FileIcon(const std::wstring& path, int index) const = 0;
};

}  // namespace nudgelet::platform
