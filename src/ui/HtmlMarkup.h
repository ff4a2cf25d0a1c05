#pragma once
// The small markup of the HTML label: its tags read into tokens, its plain
// text, and one layout routine that painting, hit testing and sizing share,
// so what is drawn is always what is hit and what is measured.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Rect.h"
#include "skin/ColorTable.h"
#include "skin/Font.h"
#include "ui/Canvas.h"

namespace nudgelet::ui {

// The caption with every "<br>" (any case) a line break and every tag gone;
// a "<" without a later ">" stays.
std::wstring HtmlPlainText(std::wstring_view markup);

struct HtmlToken {
  bool tag = false;
  bool closing = false;   // "</...>"
  std::wstring name;      // upper case, without "/"
  std::wstring text;      // the run's text, or the tag's text in upper case
  std::wstring original;  // the tag's text as written (for SRC and FACE)
};
std::vector<HtmlToken> TokenizeHtml(std::wstring_view markup);
// An attribute of an upper-cased tag text ("FONT COLOR=#FF0000"), quotes removed.
std::optional<std::wstring> HtmlAttribute(std::wstring_view tagText, std::wstring_view name);
// Replaces the entities drawn as characters; "&amp;" becomes a doubled
// ampersand where ampersands mark accelerators (`prefixes`), else a single one.
std::wstring HtmlDrawEntities(std::wstring_view run, bool prefixes = true);

// What an anchor takes from its link item.
struct HtmlLinkStyle {
  skin::FontDescription font;
  skin::Color color = 0;
  std::optional<skin::FontDescription> hoverFont;
  std::optional<skin::Color> hoverColor;
  skin::Color background = skin::kClNone;
  int maxLine = -1;
};

struct HtmlAnchorBox {
  int index = 0;
  std::wstring href;
  std::wstring title;
  std::vector<Rect> rects;
  bool cut = false;  // its text was shortened
};

struct HtmlLayoutInput {
  std::wstring_view markup;
  Rect rect;
  skin::FontDescription font;
  skin::Color color = 0;  // stored colour value of the text outside anchors
  bool wordWrap = true;
  int lineSpacing = 0;
  int hoveredAnchor = -1;
  // The link item of anchor n, when there is one.
  std::function<std::optional<HtmlLinkStyle>(int)> linkStyle;
  // Pictures of IMG tags by name.
  std::function<skin::TRdGraphic*(const std::wstring&)> picture;
};

struct HtmlLayoutResult {
  int width = 0;   // of the widest line
  int height = 0;  // of all lines
  bool outOfRect = false;
  std::vector<HtmlAnchorBox> anchors;
  // The anchor at a point, -1 for none.
  int AnchorAt(Point p) const;
};

// Lays the markup out in `input.rect`; draws it when the canvas has a target.
HtmlLayoutResult LayoutHtml(Canvas& canvas, const HtmlLayoutInput& input);

}  // namespace nudgelet::ui
