#include "ui/HtmlMarkup.h"

#include <algorithm>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "ui/TextRenderer.h"

namespace nudgelet::ui {

namespace {

constexpr std::wstring_view kLineSample = L"`ghj_";
constexpr skin::Color kClHighlight = 0xFF00000D, kClHighlightText = 0xFF00000E, kClBtnShadow = 0xFF000010;

std::wstring ReplaceAll(std::wstring text, std::wstring_view what, std::wstring_view with) {
  for (std::size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::wstring HtmlPlainText(std::wstring_view markup) {
  std::wstring text = ReplaceAllIgnoreCase(std::wstring(markup), L"<br>", L"\r\n");
  std::size_t from = 0;
  while (true) {
    const std::size_t open = text.find(L'<', from);
    if (open == std::wstring::npos) break;
    const std::size_t close = text.find(L'>', open);
    if (close == std::wstring::npos) {
      from = open + 1;
      continue;
    }
    text.erase(open, close - open + 1);
    from = open;
  }
  return text;
}

std::vector<HtmlToken> TokenizeHtml(std::wstring_view markup) {
  std::vector<HtmlToken> tokens;
  std::wstring run;
  auto flush = [&] {
    if (run.empty()) return;
    HtmlToken t;
    t.text = std::move(run);
    tokens.push_back(std::move(t));
    run.clear();
  };
  for (std::size_t i = 0; i < markup.size(); ++i) {
    const std::size_t close = markup[i] == L'<' ? markup.find(L'>', i) : std::wstring_view::npos;
    if (close == std::wstring_view::npos) {
      run += markup[i];
      continue;
    }
    flush();
    HtmlToken t;
    t.tag = true;
    t.original = std::wstring(markup.substr(i + 1, close - i - 1));
    t.text = ToUpper(t.original);
    std::wstring_view body = TrimView(t.text);
    if (!body.empty() && body[0] == L'/') {
      t.closing = true;
      body = TrimView(body.substr(1));
    }
    const std::size_t end = body.find_first_of(L" \t\r\n");
    t.name = std::wstring(body.substr(0, end));
    tokens.push_back(std::move(t));
    i = close;
  }
  flush();
  return tokens;
}

namespace {

// Where an attribute's value lies in a tag's text: its start and length.
std::optional<std::pair<std::size_t, std::size_t>> AttributeSpan(std::wstring_view tagText, std::wstring_view name) {
  std::size_t at = 0;
  while ((at = tagText.find(name, at)) != std::wstring_view::npos) {
    const bool startsWord = at > 0 && (tagText[at - 1] == L' ' || tagText[at - 1] == L'\t' || tagText[at - 1] == L'"' ||
                                       tagText[at - 1] == L';');
    std::size_t p = at + name.size();
    while (p < tagText.size() && tagText[p] == L' ') ++p;
    if (!startsWord || p >= tagText.size() || (tagText[p] != L'=' && tagText[p] != L':')) {
      at += name.size();
      continue;
    }
    ++p;
    while (p < tagText.size() && tagText[p] == L' ') ++p;
    if (p < tagText.size() && (tagText[p] == L'"' || tagText[p] == L'\'')) {
      const wchar_t quote = tagText[p];
      const std::size_t end = tagText.find(quote, p + 1);
      return std::pair{p + 1, end == std::wstring_view::npos ? tagText.size() - p - 1 : end - p - 1};
    }
    const std::size_t end = tagText.find_first_of(L" \t;\"", p);
    return std::pair{p, end == std::wstring_view::npos ? tagText.size() - p : end - p};
  }
  return std::nullopt;
}

// An attribute's value as the markup spells it (a face, a file or a link
// keeps its letter case); the name is found in any case.
std::optional<std::wstring> OriginalAttribute(const HtmlToken& t, std::wstring_view name) {
  const auto span = AttributeSpan(t.text, name);
  if (!span || t.original.size() != t.text.size()) return std::nullopt;
  return t.original.substr(span->first, span->second);
}

}  // namespace

std::optional<std::wstring> HtmlAttribute(std::wstring_view tagText, std::wstring_view name) {
  const auto span = AttributeSpan(tagText, name);
  if (!span) return std::nullopt;
  return std::wstring(tagText.substr(span->first, span->second));
}

std::wstring HtmlDrawEntities(std::wstring_view run, bool prefixes) {
  std::wstring text(run);
  static const std::pair<const wchar_t*, const wchar_t*> kEntities[] = {
      {L"&quot;", L"\""},     {L"&sect;", L"\u00A7"}, {L"&permil;", L"\u2030"}, {L"&reg;", L"\u00AE"},
      {L"&copy;", L"\u00A9"}, {L"&para;", L"\u00B6"}, {L"&trade;", L"\u2122"},  {L"&euro;", L"\u20AC"}};
  for (const auto& [entity, character] : kEntities) text = ReplaceAll(std::move(text), entity, character);
  // Where ampersands mark accelerators, a literal one is written twice.
  return ReplaceAll(std::move(text), L"&amp;", prefixes ? L"&&" : L"&");
}

int HtmlLayoutResult::AnchorAt(Point p) const {
  for (const auto& a : anchors) {
    for (const auto& r : a.rects) {
      if (Contains(r, p)) return a.index;
    }
  }
  return -1;
}

namespace {

struct Style {
  skin::FontDescription font;
  skin::Color color = 0;
  skin::Color background = skin::kClNone;
  int shift = 0;  // sub- and superscript offset
};

struct Piece {
  enum class Kind { Text, Picture, Rule } kind = Kind::Text;
  std::wstring text;
  Style style;
  int x = 0;  // from the line's start, indentation included
  int width = 0;
  int height = 0;
  unsigned flags = 0;
  int anchor = -1;
  bool cut = false;  // drawn with an ellipsis
  skin::TRdGraphic* picture = nullptr;
};

std::optional<skin::Color> ParseHtmlColor(const Canvas& canvas, std::wstring_view text) {
  text = TrimView(text);
  if (text.empty()) return std::nullopt;
  if (text[0] == L'#' && text.size() == 7) {
    std::uint32_t rgb = 0;
    for (wchar_t c : text.substr(1)) {
      const int d = HexDigitValue(c);
      if (d < 0) return std::nullopt;
      rgb = rgb << 4 | static_cast<std::uint32_t>(d);
    }
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
  }
  const skin::Color c = canvas.Colors().IdentToColor(text);
  return c;
}

class Layouter {
 public:
  Layouter(Canvas& canvas, const HtmlLayoutInput& in) : c_(canvas), in_(in), width_(in.rect.Width()) {
    style_.font = in.font;
    style_.color = in.color;
    y_ = in.rect.top;
  }

  HtmlLayoutResult Run() {
    for (const HtmlToken& t : TokenizeHtml(in_.markup)) {
      if (t.tag) {
        Tag(t);
      } else if (!skipping_) {
        Text(t.text);
      }
    }
    if (!line_.empty()) NewLine();
    result_.height = y_ - in_.rect.top;
    if (result_.height > 0) result_.height -= lastSpacing_;
    return result_;
  }

 private:
  std::pair<int, int> Measure(const std::wstring& text, const skin::FontDescription& font, unsigned flags) {
    Rect r{0, 0, 1 << 20, 1 << 20};
    c_.SetFont(font);
    c_.DrawString(text, r, kDtCalcRect | kDtSingleLine | flags);
    return {r.Width(), r.Height()};
  }

  int SampleHeight() { return Measure(std::wstring(kLineSample), style_.font, kDtNoPrefix).second; }

  void Text(std::wstring run) {
    run = ReplaceAll(std::move(run), L"&nbsp;", L" ");
    run = ReplaceAll(std::move(run), L"&lt;", L"<");
    run = ReplaceAll(std::move(run), L"&gt;", L">");
    run = ReplaceAll(std::move(run), L"\r\n", L" ");
    std::replace(run.begin(), run.end(), L'\n', L' ');
    std::replace(run.begin(), run.end(), L'\r', L' ');
    // A lone ampersand between words is text; anywhere else it marks an accelerator.
    const unsigned flags = run.find(L" & ") != std::wstring::npos ? kDtNoPrefix : 0;
    std::size_t i = 0;
    while (i < run.size() && !skipping_) {
      std::size_t end = run.find(L' ', i);
      end = end == std::wstring::npos ? run.size() : run.find_first_not_of(L' ', end);
      if (end == std::wstring::npos) end = run.size();
      Word(HtmlDrawEntities(run.substr(i, end - i), flags == 0), flags);
      i = end;
    }
  }

  void Word(const std::wstring& word, unsigned flags) {
    auto [w, h] = Measure(word, style_.font, flags);
    std::wstring bare = word;
    while (!bare.empty() && bare.back() == L' ') bare.pop_back();
    const int bareWidth = bare.size() == word.size() ? w : Measure(bare, style_.font, flags).first;
    if (in_.wordWrap && x_ + bareWidth > width_ && !line_.empty()) {
      NewLine();
      if (anchor_ >= 0 && anchorMaxLine_ > 0 && anchorLines_ >= anchorMaxLine_) {
        CutAnchor();
        return;
      }
    }
    Piece p;
    p.text = word;
    p.style = style_;
    p.width = w;
    p.height = h;
    p.flags = flags;
    p.anchor = anchor_;
    if (x_ + bareWidth > width_) {
      p.cut = true;
      p.width = std::max(0, width_ - x_);
      result_.outOfRect = true;
      if (anchor_ >= 0) Anchor(anchor_).cut = true;
    }
    Place(std::move(p));
  }

  // The anchor's text reached its line limit: the last line ends in an ellipsis.
  void CutAnchor() {
    skipping_ = true;
    Anchor(anchor_).cut = true;
    for (auto it = done_.rbegin(); it != done_.rend(); ++it) {
      if (it->anchor == anchor_ && it->kind == Piece::Kind::Text) {
        it->cut = true;
        break;
      }
    }
  }

  void Place(Piece p) {
    p.x = x_;
    x_ += p.width;
    line_.push_back(std::move(p));
  }

  HtmlAnchorBox& Anchor(int index) {
    for (auto& a : result_.anchors) {
      if (a.index == index) return a;
    }
    result_.anchors.push_back({});
    result_.anchors.back().index = index;
    return result_.anchors.back();
  }

  void NewLine() {
    // Sub- and superscripts hang below or rise above the line's own height.
    int base = 0, up = 0, down = 0;
    for (const auto& p : line_) base = std::max(base, p.height);
    for (const auto& p : line_) {
      up = std::max(up, -p.style.shift - (base - p.height));
      down = std::max(down, p.style.shift);
    }
    int height = base + up + down;
    if (height == 0) height = SampleHeight();
    const int top = y_ + pendingSpace_;
    const int lineWidth = line_.empty() ? 0 : line_.back().x + line_.back().width;
    int left = in_.rect.left;
    if (align_ == 1) left += (width_ - lineWidth) / 2;
    if (align_ == 2) left += width_ - lineWidth;
    result_.width = std::max(result_.width, lineWidth);
    if (top + height > in_.rect.bottom) result_.outOfRect = true;
    for (auto& p : line_) {
      const int pieceTop = top + up + (base - p.height) + p.style.shift;
      Rect at{left + p.x, pieceTop, left + p.x + p.width, pieceTop + p.height};
      if (p.kind == Piece::Kind::Rule) at = {in_.rect.left, top, in_.rect.right, top + height};
      if (p.anchor >= 0) Anchor(p.anchor).rects.push_back(at);
      if (top < in_.rect.bottom) Draw(p, at);
    }
    for (auto& p : line_) done_.push_back(std::move(p));
    line_.clear();
    y_ = top + height + in_.lineSpacing;
    lastSpacing_ = in_.lineSpacing;
    pendingSpace_ = 0;
    x_ = indent_;
    if (anchor_ >= 0) ++anchorLines_;
  }

  void Draw(const Piece& p, const Rect& at) {
    if (c_.Measuring()) return;
    if (p.style.background != skin::kClNone && p.kind != Piece::Kind::Rule) c_.FillRect(at, p.style.background);
    switch (p.kind) {
      case Piece::Kind::Rule:
        c_.FillRect({at.left, (at.top + at.bottom) / 2, at.right, (at.top + at.bottom) / 2 + 1}, kClBtnShadow);
        return;
      case Piece::Kind::Picture:
        if (p.picture) c_.DrawPicture(*p.picture, at, std::nullopt);
        return;
      case Piece::Kind::Text: {
        c_.SetFont(p.style.font);
        c_.SetTextColor(p.style.color);
        Rect r = at;
        r.right = std::min(r.right, in_.rect.right);
        c_.DrawString(p.text, r, kDtSingleLine | kDtNoClip | p.flags | (p.cut ? kDtEndEllipsis : 0));
        return;
      }
    }
  }

  void EndLineIfAny() {
    if (!line_.empty()) NewLine();
  }

  void ApplyStyleAttribute(const HtmlToken& t) {
    if (auto style = HtmlAttribute(t.text, L"STYLE")) {
      if (auto size = HtmlAttribute(*style, L"FONT-SIZE")) {
        if (auto points = ParseDecimal(std::wstring(TrimView(ReplaceAll(*size, L"PT", L"").substr(0))), 1, 400)) {
          style_.font.height = -skin::MulDiv(static_cast<int>(*points), 96, 72);
        }
      }
      if (auto bg = HtmlAttribute(*style, L"BACKGROUND-COLOR")) {
        if (auto color = ParseHtmlColor(c_, *bg)) style_.background = *color;
      }
    }
  }

  void Tag(const HtmlToken& t) {
    const std::wstring& n = t.name;
    if (n.empty()) return;
    const wchar_t first = n[0];
    const bool on = !t.closing;
    auto setStyle = [&](unsigned bit) {
      style_.font.style = on ? (style_.font.style | bit) : (style_.font.style & ~bit);
    };
    if (first == L'A') return AnchorTag(t);
    if (skipping_) return;
    if (StartsWith(n, L"BR")) {
      if (on) {
        NewLine();
        if (auto space = HtmlAttribute(t.text, L"LINESPACE")) pendingSpace_ = ParseDecimal(*space, 0, 1000).value_or(0);
      }
      return;
    }
    if (StartsWith(n, L"BO")) {
      if (on) {
        if (auto bg = HtmlAttribute(t.text, L"BGCOLOR")) {
          if (auto color = ParseHtmlColor(c_, *bg)) c_.FillRect(in_.rect, *color);
        }
      }
      return;
    }
    if (first == L'B') return setStyle(skin::fsBold);
    if (StartsWith(n, L"IM")) return on ? Image(t) : void();
    if (StartsWith(n, L"IN")) {
      if (on)
        x_ = std::max(
            x_, static_cast<int>(ParseDecimal(HtmlAttribute(t.text, L"INDENT").value_or(L"0"), 0, 2000).value_or(0)));
      return;
    }
    if (first == L'I') return setStyle(skin::fsItalic);
    if (StartsWith(n, L"UL") || StartsWith(n, L"OL")) return List(t);
    if (first == L'U') return setStyle(skin::fsUnderline);
    if (StartsWith(n, L"SUB") || StartsWith(n, L"SUP")) {
      if (on) {
        scriptSaved_ = style_;
        const int h = std::abs(style_.font.height);
        style_.font.height = -std::max(1, h * 2 / 3);
        style_.shift = n[2] == L'B' ? h / 3 : -(h / 3);
      } else if (scriptSaved_) {
        style_.font = scriptSaved_->font;
        style_.shift = 0;
        scriptSaved_.reset();
      }
      return;
    }
    if (first == L'S') return setStyle(skin::fsStrikeOut);
    if (first == L'P') {
      EndLineIfAny();
      align_ = 0;
      if (on) {
        const std::wstring a = HtmlAttribute(t.text, L"ALIGN").value_or(L"LEFT");
        align_ = a == L"CENTER" ? 1 : a == L"RIGHT" ? 2 : 0;
        ApplyStyleAttribute(t);
      }
      return;
    }
    if (first == L'F') return FontTag(t);
    if (StartsWith(n, L"HI")) {
      if (on) {
        highlightSaved_ = style_;
        style_.background = kClHighlight;
        style_.color = kClHighlightText;
      } else if (highlightSaved_) {
        style_.background = highlightSaved_->background;
        style_.color = highlightSaved_->color;
        highlightSaved_.reset();
      }
      return;
    }
    if (StartsWith(n, L"HR")) {
      if (!on) return;
      EndLineIfAny();
      Piece rule;
      rule.kind = Piece::Kind::Rule;
      rule.height = 8;
      rule.width = 0;
      Place(std::move(rule));
      NewLine();
      return;
    }
    if (first == L'L') return on ? ListItem(t) : void();
    // "E", "R", "Z" and "OF" carry flags and offsets that nothing here draws.
  }

  void AnchorTag(const HtmlToken& t) {
    if (!t.closing) {
      if (anchor_ >= 0) return;  // anchors do not nest
      anchorSaved_ = style_;
      anchor_ = nextAnchor_++;
      anchorLines_ = 0;
      HtmlAnchorBox& box = Anchor(anchor_);
      box.href = OriginalAttribute(t, L"HREF").value_or(L"");
      box.title = OriginalAttribute(t, L"TITLE").value_or(L"");
      anchorMaxLine_ = -1;
      if (auto link = in_.linkStyle ? in_.linkStyle(anchor_) : std::nullopt) {
        if (link->background != skin::kClNone) style_.background = link->background;
        style_.font = link->font;
        style_.color = link->color;
        if (in_.hoveredAnchor == anchor_) {
          if (link->hoverFont) style_.font = *link->hoverFont;
          if (link->hoverColor) style_.color = *link->hoverColor;
        }
        anchorMaxLine_ = link->maxLine;
      }
      if (auto maxLine = HtmlAttribute(t.text, L"MAXLINE"))
        anchorMaxLine_ = ParseDecimal(*maxLine, -1, 1000).value_or(-1);
      ApplyStyleAttribute(t);
      return;
    }
    if (anchor_ < 0) return;
    style_ = anchorSaved_;
    anchor_ = -1;
    skipping_ = false;
  }

  void FontTag(const HtmlToken& t) {
    if (t.closing) {
      if (fontStack_.empty()) return;
      const Style& saved = fontStack_.back();
      style_.font.name = saved.font.name;
      style_.font.height = saved.font.height;
      style_.color = saved.color;
      style_.background = saved.background;
      fontStack_.pop_back();
      return;
    }
    fontStack_.push_back(style_);
    if (auto face = OriginalAttribute(t, L"FACE").value_or(L""); !face.empty()) style_.font.name = face;
    if (auto color = OriginalAttribute(t, L"COLOR")) {
      if (auto value = ParseHtmlColor(c_, *color)) style_.color = *value;
    }
    if (auto bg = HtmlAttribute(t.text, L"BGCOLOR")) {
      if (auto value = ParseHtmlColor(c_, *bg)) style_.background = *value;
    }
    if (auto size = HtmlAttribute(t.text, L"SIZE")) {
      if (auto points = ParseDecimal(*size, 1, 400))
        style_.font.height = -skin::MulDiv(static_cast<int>(*points), 96, 72);
    }
    ApplyStyleAttribute(t);
  }

  void Image(const HtmlToken& t) {
    const std::wstring src = OriginalAttribute(t, L"SRC").value_or(L"");
    skin::TRdGraphic* picture = in_.picture && !src.empty() ? in_.picture(src) : nullptr;
    if (!picture || picture->Empty()) {
      if (auto alt = OriginalAttribute(t, L"ALT")) Text(*alt);
      return;
    }
    Piece p;
    p.kind = Piece::Kind::Picture;
    p.picture = picture;
    p.width = static_cast<int>(
        ParseDecimal(HtmlAttribute(t.text, L"WIDTH").value_or(L""), 1, 4000).value_or(picture->Width()));
    p.height = static_cast<int>(
        ParseDecimal(HtmlAttribute(t.text, L"HEIGHT").value_or(L""), 1, 4000).value_or(picture->Height()));
    if (HtmlAttribute(t.text, L"ALIGN").value_or(L"") == L"MIDDLE") {
      p.style.shift = (p.height - SampleHeight()) / 2;
    }
    p.anchor = anchor_;
    if (in_.wordWrap && x_ + p.width > width_ && !line_.empty()) NewLine();
    Place(std::move(p));
  }

  void List(const HtmlToken& t) {
    EndLineIfAny();
    if (!t.closing) {
      lists_.push_back({t.name[0] == L'O', 0});
    } else if (!lists_.empty()) {
      lists_.pop_back();
    }
    indent_ = static_cast<int>(lists_.size()) * 16;
    x_ = indent_;
  }

  void ListItem(const HtmlToken& t) {
    EndLineIfAny();
    x_ = indent_;
    std::wstring bullet = L"\u2022 ";
    if (!lists_.empty() && lists_.back().numbered) {
      bullet = std::to_wstring(++lists_.back().count) + L". ";
    } else {
      const std::wstring type = HtmlAttribute(t.text, L"TYPE").value_or(L"");
      if (type == L"SQUARE") bullet = L"\u25AA ";
      if (type == L"CIRCLE") bullet = L"\u25E6 ";
    }
    Word(bullet, kDtNoPrefix);
  }

  struct ListLevel {
    bool numbered = false;
    int count = 0;
  };

  Canvas& c_;
  const HtmlLayoutInput& in_;
  const int width_;
  HtmlLayoutResult result_;
  Style style_;
  Style anchorSaved_;
  std::optional<Style> scriptSaved_, highlightSaved_;
  std::vector<Style> fontStack_;
  std::vector<Piece> line_, done_;
  std::vector<ListLevel> lists_;
  int x_ = 0, y_ = 0, indent_ = 0;
  int align_ = 0;
  int pendingSpace_ = 0, lastSpacing_ = 0;
  int anchor_ = -1, nextAnchor_ = 0, anchorLines_ = 0, anchorMaxLine_ = -1;
  bool skipping_ = false;
};

}  // namespace

HtmlLayoutResult LayoutHtml(Canvas& canvas, const HtmlLayoutInput& input) { return Layouter(canvas, input).Run(); }

}  // namespace nudgelet::ui
