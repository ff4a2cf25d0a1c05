#include "ui/HtmLabel.h"

#include "base/Strings.h"
#include "skin/RdgImage.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TRdHtmLabelLink::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdHtmLabelLink", nullptr);
    Publisher<TRdHtmLabelLink> p(c);
    using K = TRdHtmLabelLink;
    p.String(
        L"Name", [](const K& o) { return o.name; }, [](K& o, const std::wstring& v) { o.name = v, o.Changed(); });
    p.String(
        L"Caption", [](const K& o) { return o.caption; },
        [](K& o, const std::wstring& v) { o.caption = v, o.Changed(); });
    p.Object(L"Font", [](K& o) { return &o.font_; });
    p.Object(L"FontHover", [](K& o) { return &o.fontHover_; });
    p.Color(
        L"ColorBg", [](const K& o) { return o.colorBg; },
        [](K& o, std::int64_t v) { o.colorBg = skin::Color(v), o.Changed(); }, skin::kClNone);
    p.Integer(
        L"Cursor", [](const K& o) { return o.cursor; }, [](K& o, std::int64_t v) { o.cursor = int(v), o.Changed(); },
        0);
    p.String(
        L"Hint", [](const K& o) { return o.hint; }, [](K& o, const std::wstring& v) { o.hint = v, o.Changed(); });
    p.Boolean(
        L"AutoShowHint", [](const K& o) { return o.autoShowHint; },
        [](K& o, bool v) { o.autoShowHint = v, o.Changed(); });
    p.Integer(
        L"MaxLine", [](const K& o) { return o.maxLine; }, [](K& o, std::int64_t v) { o.maxLine = int(v), o.Changed(); },
        -1);
    p.Boolean(
         L"FoundTextEllipsis", [](const K& o) { return o.foundTextEllipsis; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    return c;
  }();
  return info;
}

TRdHtmLabelLink::TRdHtmLabelLink(TRdHtmLabel& owner)
    : owner_(owner),
      font_(owner.Ui().skins, &owner, &owner.AllSkin()),
      fontHover_(owner.Ui().skins, &owner, &owner.AllSkin()) {
  // Until a form or skin says otherwise, a link looks like the rest of the text.
  font_.LinkTo(owner.Font(), true);
  fontHover_.LinkTo(&font_, true);
  font_.onChange = [this] { Changed(); };
  fontHover_.onChange = [this] { Changed(); };
}

void TRdHtmLabelLink::Changed() {
  if (!owner_.Loading() && !owner_.Destroying()) owner_.Invalidate();
}

const ClassInfo& TRdHtmLabel::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdHtmLabel", &TRdLabel::ClassType());
    Publisher<TRdHtmLabel> p(c);
    using H = TRdHtmLabel;
    p.Strings(
        L"Lines", [](const H& o) { return o.lines_; }, [](H& o, const std::vector<std::wstring>& v) { o.SetLines(v); });
    p.String(
         L"PlainText", [](const H& o) { return o.plainText_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    p.Integer(
        L"LineSpacing", [](const H& o) { return o.lineSpacing_; },
        [](H& o, std::int64_t v) { o.SetLineSpacing(int(v)); }, 0);
    p.Collection(
        L"LinkItems", [](const H& o) { return o.links_.size(); },
        [](H& o, std::size_t i) -> skin::TPersistent* { return i < o.links_.size() ? o.links_[i].get() : nullptr; },
        [](H& o) { o.ClearLinks(); }, [](H& o) -> skin::TPersistent* { return &o.AddLink(); });
    p.Boolean(
         L"FoundTextOutOfRect", [](const H& o) { return o.foundOutOfRect_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    // The same properties with the defaults an HTML label has.
    p.Boolean(
        L"AutoSize", [](const H& o) { return o.AutoSize(); }, [](H& o, bool v) { o.SetAutoSize(v); }, false);
    p.Boolean(
        L"WordWrap", [](const H& o) { return o.WordWrap(); }, [](H& o, bool v) { o.SetWordWrap(v); }, true);
    p.Boolean(
        L"WrapChar", [](const H& o) { return o.WrapChar(); }, [](H& o, bool v) { o.SetWrapChar(v); }, false);
    return c;
  }();
  return info;
}

TRdHtmLabel::TRdHtmLabel(UiContext& ui) : TRdLabel(ui) {
  SetAutoSize(false);
  SetWordWrap(true);
  SetWrapChar(false);
}

TRdHtmLabel::~TRdHtmLabel() {
  DestroyChildren();
  links_.clear();
}

TRdHtmLabelLink& TRdHtmLabel::AddLink() {
  links_.push_back(std::make_unique<TRdHtmLabelLink>(*this));
  Invalidate();
  return *links_.back();
}

void TRdHtmLabel::ClearLinks() {
  links_.clear();
  hovered_ = pressed_ = clickedLink_ = -1;
  Invalidate();
}

void TRdHtmLabel::SetLines(std::vector<std::wstring> lines) {
  std::wstring text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  lines_ = std::move(lines);
  settingLines_ = true;
  SetCaption(text);
  settingLines_ = false;
  TextChanged();
}

void TRdHtmLabel::TextChanged() {
  if (settingLines_) return;
  if (lines_.empty() || Caption() != [&] {
        std::wstring t;
        for (std::size_t i = 0; i < lines_.size(); ++i) t += (i ? L"\r\n" : L"") + lines_[i];
        return t;
      }()) {
    lines_.clear();
    std::wstring_view rest = Caption();
    while (true) {
      const std::size_t end = rest.find(L"\r\n");
      lines_.emplace_back(rest.substr(0, end));
      if (end == std::wstring_view::npos) break;
      rest = rest.substr(end + 2);
    }
    if (Caption().empty()) lines_.clear();
  }
  plainText_ = HtmlPlainText(Caption());
  hovered_ = pressed_ = clickedLink_ = -1;
  if (!Loading() && !Destroying()) {
    AdjustBounds();
    Invalidate();
  }
}

void TRdHtmLabel::SetLineSpacing(int value) {
  if (lineSpacing_ == value) return;
  lineSpacing_ = value;
  AdjustBounds();
  Invalidate();
}

HtmlLayoutResult TRdHtmLabel::LayOut(Canvas& canvas, const Rect& rect) {
  HtmlLayoutInput in;
  in.markup = Caption();
  in.rect = rect;
  in.font = Font()->Describe();
  in.color = Font()->GetColor();
  if (!Enabled()) {
    in.color = FontDisabledColor();
  } else if (Hovered() && FontHoverColor() != skin::kClDefault) {
    in.color = FontHoverColor();
  }
  in.wordWrap = WordWrap();
  in.lineSpacing = lineSpacing_;
  in.hoveredAnchor = hovered_;
  in.linkStyle = [this](int anchor) -> std::optional<HtmlLinkStyle> {
    TRdHtmLabelLink* link = LinkOf(anchor);
    if (!link) return std::nullopt;
    HtmlLinkStyle style;
    style.font = link->Font().Describe();
    style.color = link->Font().GetColor();
    style.hoverFont = link->FontHover().Describe();
    style.hoverColor = link->FontHover().GetColor();
    style.background = link->colorBg;
    style.maxLine = link->maxLine;
    return style;
  };
  in.picture = [this](const std::wstring& name) -> skin::TRdGraphic* {
    auto& slot = pictures_[name];
    if (!slot) {
      slot = std::make_unique<skin::TRdgImage>(Ui().store);
      slot->SetValues(std::vector<std::wstring>{L"imgname=" + name});
    }
    return slot.get();
  };
  return LayoutHtml(canvas, in);
}

void TRdHtmLabel::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  if (r.Empty()) return;
  const bool measuring = Measuring() || canvas.Measuring();
  if (!measuring) PaintBackground(canvas);
  const skin::TDesignRect& b = Border();
  r = {r.left + b.left, r.top + b.top, r.right - b.right, r.bottom - b.bottom};
  if (AutoSize() && measuring) r.bottom = 1 << 20;
  const int available = r.Height();
  if (Layout() != TTextLayout::tlTop && !AutoSize()) {
    Canvas probe(nullptr, {}, Ui().Colors(), Ui().text);
    const int height = LayOut(probe, r).height;
    if (Layout() == TTextLayout::tlCenter) {
      r.top += (r.Height() - height) / 2;
    } else {
      r.top = r.bottom - height;
    }
    r.bottom = r.top + height;
  }
  const HtmlLayoutResult result = LayOut(canvas, r);
  anchors_ = result.anchors;
  // Centred or bottom text is laid out in a rectangle of its own height, so
  // what does not fit shows only against the client area.
  foundOutOfRect_ = result.outOfRect || result.height > available;
  foundEllipsis_ = foundOutOfRect_;
  for (std::size_t i = 0; i < links_.size(); ++i) {
    links_[i]->foundTextEllipsis = false;
    for (const auto& a : anchors_) {
      if (a.index == static_cast<int>(i)) links_[i]->foundTextEllipsis = a.cut;
    }
  }
  if (!measuring && onPaintEnd) onPaintEnd(*this);
}

void TRdHtmLabel::AdjustBounds() {
  if (Loading() || Destroying() || Measuring() || !AutoSize()) return;
  SetMeasuring(true);
  Canvas canvas(nullptr, {}, Ui().Colors(), Ui().text);
  const skin::TDesignRect& b = Border();
  const Rect r{0, 0, WordWrap() ? Width() - b.left - b.right : 1 << 20, 1 << 20};
  const HtmlLayoutResult result = LayOut(canvas, r);
  const int width = WordWrap() ? Width() : result.width + b.left + b.right;
  SetBounds(Left(), Top(), width, result.height + b.top + b.bottom);
  SetMeasuring(false);
}

int TRdHtmLabel::AnchorAt(int x, int y) {
  Canvas canvas(nullptr, {}, Ui().Colors(), Ui().text);
  SetMeasuring(true);
  Paint(canvas);
  SetMeasuring(false);
  for (const auto& a : anchors_) {
    for (const auto& r : a.rects) {
      if (Contains(r, {x, y})) return a.index;
    }
  }
  return -1;
}

void TRdHtmLabel::InvalidateAnchor(int anchor) {
  if (anchor < 0) return;
  for (const auto& a : anchors_) {
    if (a.index != anchor) continue;
    if (a.rects.empty()) break;
    for (const auto& r : a.rects) InvalidateRect(r);
    return;
  }
  Invalidate();
}

void TRdHtmLabel::SetHovered(int anchor) {
  if (hovered_ == anchor) return;
  const int old = hovered_;
  hovered_ = anchor;
  InvalidateAnchor(old);
  InvalidateAnchor(anchor);
  if (TWinControl* w = Window()) w->Root().RefreshHint();
}

void TRdHtmLabel::MouseMove(unsigned shift, int x, int y) {
  SetHovered(AnchorAt(x, y));
  TRdLabel::MouseMove(shift, x, y);
}

void TRdHtmLabel::MouseLeave() {
  SetHovered(-1);
  TRdLabel::MouseLeave();
}

void TRdHtmLabel::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left) pressed_ = AnchorAt(x, y);
  TRdLabel::MouseDown(button, shift, x, y);
}

void TRdHtmLabel::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  const int pressed = pressed_;
  if (button == MouseButton::Left) pressed_ = clickedLink_ = -1;
  TRdLabel::MouseUp(button, shift, x, y);
  if (button != MouseButton::Left || pressed < 0 || AnchorAt(x, y) != pressed) return;
  clickedLink_ = pressed;
}

// The link's click comes with the label's click, after the release is done
// with: a link that closes what holds the label must find nothing still
// working on it.
void TRdHtmLabel::Click() {
  TRdHtmLabelLink* link = LinkOf(clickedLink_);
  clickedLink_ = -1;
  if (link && link->onClick) {
    const std::weak_ptr<const bool> alive = alive_;
    link->onClick(*link);
    if (alive.expired()) return;
  }
  TRdLabel::Click();
}

int TRdHtmLabel::CursorAt(int x, int y) {
  if (TRdHtmLabelLink* link = LinkOf(AnchorAt(x, y)); link && link->cursor != crDefault) return link->cursor;
  return Cursor();
}

bool TRdHtmLabel::HintAt(int x, int y, std::wstring& hint) {
  const int anchor = AnchorAt(x, y);
  TRdHtmLabelLink* link = LinkOf(anchor);
  if (!link) return TRdLabel::HintAt(x, y, hint);
  if (!EffectiveShowHint()) return false;
  hint = link->autoShowHint && !link->foundTextEllipsis ? L"" : link->hint;
  bool canShow = true;
  if (onShowHint) onShowHint(*this, hint, canShow);
  return canShow && !hint.empty();
}

}  // namespace nudgelet::ui
