// libFuzzer target for the HTML label's markup: translated texts from language
// files reach it (the count message, hints), so any text must lay out, and the
// layout that measures must be the one that paints and that hit tests answer.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/Bitmap.h"
#include "skin/ColorTable.h"
#include "ui/Canvas.h"
#include "ui/FakeTextRenderer.h"
#include "ui/HtmlMarkup.h"

namespace {

using namespace nudgelet;
using fuzz::Check;

ui::HtmlLayoutResult Layout(ui::Canvas& canvas, const std::wstring& markup, const Rect& rect, bool wrap, int spacing) {
  ui::HtmlLayoutInput input;
  input.markup = markup;
  input.rect = rect;
  input.font = {-11, L"Tahoma", 0, 1, 0};
  input.wordWrap = wrap;
  input.lineSpacing = spacing;
  input.linkStyle = [](int index) -> std::optional<ui::HtmlLinkStyle> {
    if (index % 2) return std::nullopt;
    ui::HtmlLinkStyle style;
    style.font = {-15, L"Tahoma", 1, 1, 0};
    style.color = 0x2E77E8;
    style.maxLine = index % 3 - 1;
    return style;
  };
  input.picture = [](const std::wstring&) { return nullptr; };
  return ui::LayoutHtml(canvas, input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int width = 1 + data[0] * 2, spacing = data[1] % 8;
  const bool wrap = data[2] & 1;
  const std::wstring markup = fuzz::Utf16Units(data + 3, size - 3);
  if (markup.size() > 4096) return 0;  // labels hold a sentence, not a book

  (void)ui::HtmlPlainText(markup);
  skin::ColorTable colors;
  ui::testing::FakeTextRenderer text;
  const Rect rect{0, 0, width, 90};
  ui::Canvas measuring(nullptr, {}, colors, text);
  const ui::HtmlLayoutResult measured = Layout(measuring, markup, rect, wrap, spacing);
  Bitmap target(width, 90);
  ui::Canvas painting(&target, {}, colors, text);
  const ui::HtmlLayoutResult painted = Layout(painting, markup, rect, wrap, spacing);

  Check(measured.width >= 0 && measured.height >= 0);
  Check(measured.width == painted.width && measured.height == painted.height);
  Check(measured.anchors.size() == painted.anchors.size());
  for (std::size_t i = 0; i < measured.anchors.size(); ++i) {
    Check(measured.anchors[i].rects.size() == painted.anchors[i].rects.size());
    for (const Rect& r : measured.anchors[i].rects) Check(r.Width() >= 0 && r.Height() >= 0);
  }
  // A hit is an anchor that exists.
  for (int y = 0; y < 90; y += 7) {
    for (int x = 0; x < width; x += 11) {
      const int hit = measured.AnchorAt({x, y});
      Check(hit >= -1 && hit < static_cast<int>(measured.anchors.size()));
    }
  }
  return 0;
}
