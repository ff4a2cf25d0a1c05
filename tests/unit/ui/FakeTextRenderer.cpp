#include "ui/FakeTextRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ui/Canvas.h"

namespace nudgelet::ui::testing {

namespace {

// The font's height in pixels, as large as a renderer would make it: a skin may
// ask for any height, and a real one caps what it renders too.
int PixelHeight(const skin::FontDescription& font) {
  return static_cast<int>(std::min<std::int64_t>(std::llabs(font.height ? font.height : -11), 1 << 16));
}

}  // namespace

int FakeTextRenderer::CharWidth(const skin::FontDescription& font) {
  return std::max(1, (PixelHeight(font) + 1) / 2 + ((font.style & skin::fsBold) ? 1 : 0));
}

int FakeTextRenderer::LineHeight(const skin::FontDescription& font) { return PixelHeight(font) + 2; }

namespace {

std::wstring Prefixed(std::wstring_view text, unsigned flags) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(flags & kDtNoPrefix) && text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

std::vector<std::wstring> Paragraphs(const std::wstring& text, unsigned flags) {
  std::vector<std::wstring> lines{L""};
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (!(flags & kDtSingleLine) && (c == L'\n' || c == L'\r')) {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines.emplace_back();
    } else if (c == L'\t' && (flags & kDtExpandTabs)) {
      lines.back() += std::wstring(8 - lines.back().size() % 8, L' ');
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// Breaks one paragraph into lines of at most `fit` characters.
std::vector<std::wstring> Wrap(const std::wstring& paragraph, std::size_t fit, bool insideWords) {
  std::vector<std::wstring> lines;
  std::wstring line;
  std::size_t i = 0;
  while (i < paragraph.size()) {
    std::size_t end = paragraph.find(L' ', i);
    if (end == std::wstring::npos) end = paragraph.size();
    std::wstring word = paragraph.substr(i, end - i);
    const bool space = end < paragraph.size();
    i = space ? end + 1 : end;
    const std::size_t need = line.empty() ? word.size() : line.size() + 1 + word.size();
    if (need <= fit || line.empty()) {
      if (!line.empty()) line += L' ';
      line += word;
    } else {
      lines.push_back(line);
      line = word;
    }
    while (insideWords && line.size() > fit && fit > 0) {
      lines.push_back(line.substr(0, fit));
      line = line.substr(fit);
    }
  }
  lines.push_back(line);
  return lines;
}

std::wstring WithEllipsis(const std::wstring& line, std::size_t fit) {
  if (line.size() <= fit) return line;
  if (fit <= 3) return std::wstring(L"...").substr(0, fit);
  return line.substr(0, fit - 3) + L"...";
}

}  // namespace

int FakeTextRenderer::DrawString(Bitmap* target, const Rect& clip, const TextStyle& style, std::wstring_view text,
                               Rect& rect, unsigned flags) {
  const int cw = CharWidth(style.font), lh = LineHeight(style.font);
  const std::wstring plain = Prefixed(text, flags);
  const std::size_t fit = static_cast<std::size_t>(std::max(0, rect.Width()) / cw);
  const bool ellipsis = (flags & (kDtEndEllipsis | kDtPathEllipsis | kDtWordEllipsis)) != 0;
  std::vector<std::wstring> lines;
  for (const auto& paragraph : Paragraphs(plain, flags)) {
    if (flags & kDtWordBreak && !(flags & kDtSingleLine)) {
      for (auto& l : Wrap(paragraph, fit, (flags & kDtEditControl) != 0)) lines.push_back(l);
    } else {
      lines.push_back(paragraph);
    }
  }
  const int fullHeight = static_cast<int>(lines.size()) * lh;
  std::vector<std::wstring> shown = lines;
  if (ellipsis) {
    // With word breaks only the last line that fits is cut, as the label asks of the system.
    if (flags & kDtWordBreak) {
      const std::size_t visible = static_cast<std::size_t>(std::max(1, rect.Height() / lh));
      if (shown.size() > visible) {
        shown.resize(visible);
        shown.back() = WithEllipsis(shown.back() + L"...", fit);
      }
    }
    for (auto& l : shown) l = WithEllipsis(l, fit);
  }
  std::size_t widest = 0;
  for (const auto& l : shown) widest = std::max(widest, l.size());
  if (flags & kDtCalcRect) {
    const int width = static_cast<int>(widest) * cw;
    if (flags & kDtCenter) {
      const int mid = rect.left + rect.Width() / 2;
      rect.left = mid - width / 2;
    } else if (flags & kDtRight) {
      rect.left = rect.right - width;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + static_cast<int>(shown.size()) * lh;
    return static_cast<int>(shown.size()) * lh;
  }
  int top = rect.top;
  if (flags & kDtSingleLine) {
    if (flags & kDtVCenter) top = rect.top + (rect.Height() - lh) / 2;
    if (flags & kDtBottom) top = rect.bottom - lh;
  }
  for (const auto& l : shown) {
    const int width = static_cast<int>(l.size()) * cw;
    int left = rect.left;
    if (flags & kDtCenter) left = rect.left + (rect.Width() - width) / 2;
    if (flags & kDtRight) left = rect.right - width;
    Rect at{left, top, left + width, top + lh};
    const Rect visible = Intersect(at, (flags & kDtNoClip) ? clip : Intersect(clip, rect));
    if (target && !visible.Empty() && !l.empty()) {
      drawn.push_back({l, at, style.rgb, style.font});
      // A stroke through the middle of the line, so pixels show where text went.
      const int y = (at.top + at.bottom) / 2;
      if (y >= visible.top && y < visible.bottom) {
        for (int x = visible.left; x < visible.right; ++x) target->At(x, y) = PixelOf(style.rgb);
      }
    }
    top += lh;
  }
  return fullHeight;
}

std::uint32_t FakeTextRenderer::ColorOf(std::wstring_view part) const {
  for (auto it = drawn.rbegin(); it != drawn.rend(); ++it) {
    if (it->text.find(part) != std::wstring::npos) return it->rgb;
  }
  return 0;
}

std::wstring FakeTextRenderer::AllText() const {
  std::wstring all;
  for (const auto& d : drawn) all += (all.empty() ? L"" : L"|") + d.text;
  return all;
}

}  // namespace nudgelet::ui::testing
