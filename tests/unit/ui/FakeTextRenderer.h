#pragma once
// Text with metrics a test can count: every character is half the font's
// height wide (6 pixels at the default -11), a line is the height plus 2
// (13 pixels). Breaks at spaces, inside words with the edit-control flag,
// ellipsis as "...", prefixes, alignment and DT_CALCRECT as DrawTextW has
// them. Every line drawn is recorded with where and in which colour.

#include <string>
#include <vector>

#include "ui/TextRenderer.h"

namespace nudgelet::ui::testing {

struct DrawnLine {
  std::wstring text;
  Rect at;
  std::uint32_t rgb = 0;
  skin::FontDescription font;
};

class FakeTextRenderer final : public TextRenderer {
 public:
  int DrawString(Bitmap* target, const Rect& clip, const TextStyle& style, std::wstring_view text, Rect& rect,
               unsigned flags) override;

  static int CharWidth(const skin::FontDescription& font);
  static int LineHeight(const skin::FontDescription& font);

  std::vector<DrawnLine> drawn;
  // The colour of the last line drawn whose text contains `part`; 0 when none.
  std::uint32_t ColorOf(std::wstring_view part) const;
  std::wstring AllText() const;
};

}  // namespace nudgelet::ui::testing
