#pragma once
// Text goes through one call with the contract of Windows' DrawTextW, because
// the controls' layout rules are written in its flags. On Windows GDI draws;
// tests measure with a fake that has simple, known metrics.

#include <cstdint>
#include <string_view>

#include "base/Bitmap.h"
#include "base/Rect.h"
#include "skin/Font.h"

namespace nudgelet::ui {

// DrawTextW's flag values, by the same names without the prefix.
inline constexpr unsigned kDtLeft = 0x0;
inline constexpr unsigned kDtCenter = 0x1;
inline constexpr unsigned kDtRight = 0x2;
inline constexpr unsigned kDtVCenter = 0x4;
inline constexpr unsigned kDtBottom = 0x8;
inline constexpr unsigned kDtWordBreak = 0x10;
inline constexpr unsigned kDtSingleLine = 0x20;
inline constexpr unsigned kDtExpandTabs = 0x40;
inline constexpr unsigned kDtNoClip = 0x100;
inline constexpr unsigned kDtCalcRect = 0x400;
inline constexpr unsigned kDtNoPrefix = 0x800;
inline constexpr unsigned kDtEditControl = 0x2000;
inline constexpr unsigned kDtPathEllipsis = 0x4000;
inline constexpr unsigned kDtEndEllipsis = 0x8000;
inline constexpr unsigned kDtRtlReading = 0x20000;
inline constexpr unsigned kDtWordEllipsis = 0x40000;

struct TextStyle {
  skin::FontDescription font;
  std::uint32_t rgb = 0;  // 0x00BBGGRR, already resolved
};

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Draws `text` into `rect` of `target` (clipped to the rectangle unless
  // kDtNoClip, and always to `clip`) and returns the text's height. With
  // kDtCalcRect nothing is drawn and `rect` becomes the text's extent; a null
  // target only measures as well.
  virtual int DrawString(Bitmap* target, const Rect& clip, const TextStyle& style, std::wstring_view text, Rect& rect,
                         unsigned flags) = 0;
};

}  // namespace nudgelet::ui
