#pragma once
// Text through GDI's DrawTextW onto the controls' bitmaps. The part of the
// bitmap the text may touch goes into a DIB section, GDI draws on it, and the
// pixels come back with their alpha repaired: GDI writes text with alpha 0.

#include <vector>

#include "platform/win32/Handles.h"
#include "ui/TextRenderer.h"

namespace nudgelet::ui::win32 {

class GdiTextRenderer final : public TextRenderer {
 public:
  GdiTextRenderer();
  int DrawString(Bitmap* target, const Rect& clip, const TextStyle& style, std::wstring_view text, Rect& rect,
                 unsigned flags) override;

 private:
  HFONT FontFor(const skin::FontDescription& font);

  platform::win32::UniqueDc dc_;
  // Faces made so far: a window uses a handful.
  std::vector<std::pair<skin::FontDescription, platform::win32::UniqueFont>> fonts_;
};

}  // namespace nudgelet::ui::win32
