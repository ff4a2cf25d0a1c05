#pragma once
#include <windows.h>

#include "platform/FileIconSource.h"

namespace nudgelet::platform::win32 {

// Icons of files from the shell: the icon at an index of the file, else the
// icon the shell shows for it, drawn into a 32 × 32 bitmap.
class ShellFileIcons final : public FileIconSource {
 public:
  std::optional<Bitmap> FileIcon(const std::wstring& path, int index) const override;
};

// An icon drawn into a size × size premultiplied bitmap.
Bitmap BitmapFromIcon(HICON icon, int size);

}  // namespace nudgelet::platform::win32
