#pragma once
// The face of a skinned font: made from its description, and made anew only
// when the description changes (antialiasing included).

#include "platform/win32/Handles.h"
#include "skin/Font.h"

namespace nudgelet::skin::win32 {

class FontHandle {
 public:
  // The face for the font as it is now; the same handle while nothing changed.
  HFONT For(const TRdFont& font);

 private:
  platform::win32::UniqueFont handle_;
  FontDescription made_;
  bool valid_ = false;
};

platform::win32::UniqueFont CreateFontFor(const FontDescription& description);

}  // namespace nudgelet::skin::win32
