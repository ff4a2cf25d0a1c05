#include "ui/Label.h"

#include <algorithm>

#include "base/Strings.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {

constexpr unsigned kEllipsisFlags[] = {0, kDtPathEllipsis, kDtEndEllipsis, kDtWordEllipsis | kDtEndEllipsis};

// The sample whose height is one line of text in the label's font.
constexpr std::wstring_view kLineSample = L"`ghj_";

}  // namespace

wchar_t AcceleratorOf(std::wstring_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return FoldUpper(caption[i + 1]);
    ++i;  // "&&" is an ampersand
  }
  return 0;
}

const ClassInfo& TRdCustomLabel::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdCustomLabel", &TRdGraphicControl::ClassType());
    Publisher<TRdCustomLabel> p(c);
    using L = TRdCustomLabel;
    p.Enumeration(
        L"Alignment", AlignmentNames(), [](const L& o) { return static_cast<int>(o.alignment_); },
        [](L& o, std::int64_t v) { o.SetAlignment(static_cast<TAlignment>(v)); });
    p.Boolean(
        L"AutoSize", [](const L& o) { return o.autoSize_; }, [](L& o, bool v) { o.SetAutoSize(v); }, true);
    p.Boolean(
        L"AutoShowHint", [](const L& o) { return o.autoShowHint_; }, [](L& o, bool v) { o.SetAutoShowHint(v); });
    p.Picture(L"Background", [](L& o) { return &o.background_; });
    p.Object(L"BackgroundOption", [](L& o) { return &o.backgroundOption_; });
    p.Enumeration(
        L"EllipsisPosition", {L"epNone", L"epPathEllipsis", L"epEndEllipsis", L"epWordEllipsis"},
        [](const L& o) { return static_cast<int>(o.ellipsis_); },
        [](L& o, std::int64_t v) { o.SetEllipsisPosition(static_cast<TEllipsisPosition>(v)); });
    p.String(
        L"FocusControl", [](const L& o) { return o.focusControl_; },
        [](L& o, const std::wstring& v) { o.SetFocusControl(v); });
    p.Boolean(
         L"FontAntialiased", [](const L& o) { return o.Font()->Antialiased(); },
         [](L& o, bool v) { o.Font()->SetAntialiased(v); })
        .stored = [](const skin::TPersistent&) { return false; };  // the font keeps it
    p.Color(
        L"FontHoverColor", [](const L& o) { return o.fontHoverColor_; },
        [](L& o, std::int64_t v) { o.SetFontHoverColor(skin::Color(v)); }, skin::kClDefault);
    p.Color(
        L"FontDownColor", [](const L& o) { return o.fontDownColor_; },
        [](L& o, std::int64_t v) { o.SetFontDownColor(skin::Color(v)); }, skin::kClDefault);
    p.Color(
        L"FontDisabledColor", [](const L& o) { return o.fontDisabledColor_; },
        [](L& o, std::int64_t v) { o.SetFontDisabledColor(skin::Color(v)); }, kClGrayText);
    p.Enumeration(
        L"Layout", TextLayoutNames(), [](const L& o) { return static_cast<int>(o.layout_); },
        [](L& o, std::int64_t v) { o.SetLayout(static_cast<TTextLayout>(v)); });
    p.Boolean(
        L"ShowAccelChar", [](const L& o) { return o.showAccelChar_; }, [](L& o, bool v) { o.SetShowAccelChar(v); });
    p.Object(L"TextBorder", [](L& o) { return &o.textBorder_; });
    p.Boolean(
        L"Transparent", [](const L& o) { return o.transparent_; }, [](L& o, bool v) { o.SetTransparent(v); }, true);
    p.Boolean(
        L"WordWrap", [](const L& o) { return o.wordWrap_; }, [](L& o, bool v) { o.SetWordWrap(v); });
    p.Boolean(
        L"WrapChar", [](const L& o) { return o.wrapChar_; }, [](L& o, bool v) { o.SetWrapChar(v); }, true);
    p.Boolean(
         L"FoundTextEllipsis", [](const L& o) { return o.foundEllipsis_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    p.Boolean(
         L"FoundTextWordBreak", [](const L& o) { return o.foundWordBreak_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    return c;
  }();
  return info;
}

const ClassInfo& TRdLabel::ClassType() {
  static const ClassInfo info(L"TRdLabel", &TRdCustomLabel::ClassType());
  return info;
}

TRdCustomLabel::TRdCustomLabel(UiContext& ui) : TRdGraphicControl(ui) {
  SetBounds(0, 0, 65, 17);
  background_.onChange = [this] { PictureChanged(); };
  backgroundOption_.onChange = [this](const skin::TDesignRect&) { PictureChanged(); };
  backgroundOption_.onFillIn = [this] {
    skin::TRdGraphic* g = background_.Graphic();
    const int w = g ? g->Width() : 0, h = g ? g->Height() : 0;
    skin::TDesignRect margins = backgroundOption_.Value();
    margins.left = margins.right = w / 3;
    margins.top = margins.bottom = h / 3;
    backgroundOption_.Assign(margins);
    PictureChanged();
  };
  textBorder_.onChange = [this](const skin::TDesignRect&) {
    AdjustBounds();
    Invalidate();
  };
}

TRdCustomLabel::~TRdCustomLabel() { DestroyChildren(); }

void TRdCustomLabel::PictureChanged() {
  if (!Changing()) Invalidate();
}

void TRdCustomLabel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Invalidate();
}

void TRdCustomLabel::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  if (value) AdjustBounds();
}

void TRdCustomLabel::SetEllipsisPosition(TEllipsisPosition value) {
  if (ellipsis_ == value) return;
  ellipsis_ = value;
  AdjustBounds();
  Invalidate();
}

void TRdCustomLabel::SetFontHoverColor(skin::Color value) { fontHoverColor_ = value; }
void TRdCustomLabel::SetFontDownColor(skin::Color value) { fontDownColor_ = value; }

void TRdCustomLabel::SetFontDisabledColor(skin::Color value) {
  if (fontDisabledColor_ == value) return;
  fontDisabledColor_ = value;
  Invalidate();
}

void TRdCustomLabel::SetLayout(TTextLayout value) {
  if (layout_ == value) return;
  layout_ = value;
  Invalidate();
}

void TRdCustomLabel::SetShowAccelChar(bool value) {
  if (showAccelChar_ == value) return;
  showAccelChar_ = value;
  Invalidate();
}

void TRdCustomLabel::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Invalidate();
}

void TRdCustomLabel::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TRdCustomLabel::SetWrapChar(bool value) {
  if (wrapChar_ == value) return;
  wrapChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TRdCustomLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TRdCustomLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TRdCustomLabel::EnabledChanged() { Invalidate(); }

void TRdCustomLabel::Loaded() {
  TRdGraphicControl::Loaded();
  AdjustBounds();
  Invalidate();
}

unsigned TRdCustomLabel::AlignmentFlag() const {
  switch (alignment_) {
    case TAlignment::taRightJustify:
      return kDtRight;
    case TAlignment::taCenter:
      return kDtCenter;
    default:
      return kDtLeft;
  }
}

skin::Color TRdCustomLabel::TextColor() const {
  if (!Enabled()) return fontDisabledColor_;
  if (pressed_ && fontDownColor_ != skin::kClDefault) return fontDownColor_;
  if (hovered_ && fontHoverColor_ != skin::kClDefault) return fontHoverColor_;
  return Font()->GetColor();
}

void TRdCustomLabel::PaintBackground(Canvas& canvas) {
  if (!transparent_) canvas.FillRect(ClientRect(), GetColor());
  if (skin::TRdGraphic* g = background_.Graphic()) canvas.DrawPicture(*g, ClientRect(), backgroundOption_.Value());
  if (onPaintImage) onPaintImage(*this);
}

void TRdCustomLabel::Paint(Canvas& canvas) {
  const bool measuring = measuring_ || canvas.Measuring();
  Rect r = ClientRect();
  if (!measuring) PaintBackground(canvas);
  unsigned flags = (wordWrap_ ? kDtWordBreak : 0) | kDtExpandTabs | AlignmentFlag() | (wrapChar_ ? kDtEditControl : 0);
  const skin::TDesignRect& b = Border();
  if (layout_ != TTextLayout::tlTop) {
    Rect measured{r.left + b.left, r.top + b.top, r.right - b.right, r.bottom - b.bottom};
    DrawLabelText(canvas, measured, false, flags | kDtCalcRect | kDtNoClip);
    const int textHeight = measured.Height();
    if (layout_ == TTextLayout::tlCenter) {
      r.top += b.top;
      r.bottom -= b.bottom;
      r.top += (r.Height() - textHeight) / 2;
      r.bottom = r.top + textHeight;
    } else {
      r.top = r.bottom - textHeight;
      r.top -= b.bottom;
      r.bottom -= b.bottom;
    }
  } else {
    r.top += b.top;
    r.bottom -= b.bottom;
  }
  r.left += b.left;
  r.right -= b.right;
  if (wrapChar_ && ellipsis_ == TEllipsisPosition::epNone) flags |= kDtNoClip;
  foundEllipsis_ = false;
  foundWordBreak_ = false;
  DrawLabelText(canvas, r, false, flags);
  if (!measuring && onPaintEnd) onPaintEnd(*this);
}

void TRdCustomLabel::DrawLabelText(Canvas& canvas, Rect& rect, bool ignoreEllipsis, unsigned flags) {
  const bool calc = (flags & kDtCalcRect) != 0;
  std::wstring text = LabelText();
  if (calc && (text.empty() || (showAccelChar_ && text == L"&"))) text += L" ";
  if (text.empty()) return;
  if (!showAccelChar_) flags |= kDtNoPrefix;
  canvas.SelectFont(*Font());
  if (ellipsis_ != TEllipsisPosition::epNone && !ignoreEllipsis) {
    if (!calc) foundEllipsis_ = true;
    flags = (flags & ~kDtExpandTabs) | kEllipsisFlags[static_cast<int>(ellipsis_)];
    if (wordWrap_ &&
        (ellipsis_ == TEllipsisPosition::epEndEllipsis || ellipsis_ == TEllipsisPosition::epWordEllipsis)) {
      // Measured by drawing out of sight: the height the system reports for
      // the wrapped text, which DT_CALCRECT would not cut at the ellipsis.
      Rect probe = Offset(rect, 0, 1000);
      const int needed = canvas.DrawString(text, probe, flags & ~(kDtCalcRect | kDtNoClip));
      if (needed > rect.Height()) {
        Rect sample{0, 0, 1000, 1000};
        int lineHeight = canvas.DrawString(kLineSample, sample, kDtCalcRect | kDtSingleLine | kDtNoPrefix);
        if (lineHeight == 0) lineHeight = std::abs(Font()->Height()) + 3;
        rect.bottom = rect.top + lineHeight * std::max(1, rect.Height() / lineHeight);
      }
    }
    if (calc) {
      Rect measured = rect;
      const int height = canvas.DrawString(text, measured, flags);
      measured.bottom = measured.top + height;
      rect = measured;
      return;
    }
  }
  canvas.SetTextColor(TextColor());
  const int drawn = canvas.DrawString(text, rect, flags);
  if (calc) return;
  if (drawn > 0) {
    Rect measured = rect;
    canvas.DrawString(text, measured, flags | kDtCalcRect);
    int dx = 0;
    if (alignment_ == TAlignment::taRightJustify) dx = rect.right - measured.right;
    if (alignment_ == TAlignment::taCenter) dx = (rect.Width() - measured.Width()) / 2 + rect.left - measured.left;
    measured = Offset(measured, dx, 0);
    measured.bottom = std::min(measured.bottom, measured.top + drawn);
    textRect_ = measured;
  }
  if (foundEllipsis_) {
    Rect plain = rect;
    canvas.DrawString(text, plain, (flags & ~(kDtPathEllipsis | kDtEndEllipsis | kDtWordEllipsis)) | kDtCalcRect);
    foundEllipsis_ = plain.Width() > rect.Width() || plain.Height() > rect.Height();
  }
  if (wordWrap_) {
    Rect unwrapped = rect;
    canvas.DrawString(text, unwrapped, (flags & ~kDtWordBreak) | kDtCalcRect);
    foundWordBreak_ = unwrapped.Height() > rect.Height();
  }
}

void TRdCustomLabel::AdjustBounds() {
  if (Loading() || Destroying() || measuring_) return;
  if (!autoSize_ && ellipsis_ == TEllipsisPosition::epNone && !wordWrap_) return;
  measuring_ = true;
  Canvas canvas(nullptr, {}, Ui().Colors(), Ui().text);
  if (autoSize_) {
    if (Constraints().maxWidth > 0) SetWidth(Constraints().maxWidth);
    const skin::TDesignRect& b = Border();
    Rect previous;
    for (int pass = 0; pass < 2; ++pass) {
      const Rect inner{b.left, b.top, Width() - b.right, Height() - b.bottom};
      if (pass == 1 && inner == previous) break;
      previous = inner;
      Rect r = inner;
      const unsigned flags = kDtCalcRect | kDtExpandTabs | (wordWrap_ ? kDtWordBreak : 0) |
                             (wrapChar_ ? kDtEditControl : 0) | AlignmentFlag();
      DrawLabelText(canvas, r, pass == 0, flags);
      const int width = r.Width() + b.left + b.right, height = r.Height() + b.top + b.bottom;
      int left = Left(), top = Top();
      const TSizeConstraints& c = Constraints();
      const bool fixedWidth = c.minWidth > 0 && c.minWidth == c.maxWidth;
      if (alignment_ == TAlignment::taRightJustify && !fixedWidth) left += Width() - c.ClampWidth(width);
      const bool fixedHeight = c.minHeight > 0 && c.minHeight == c.maxHeight;
      if (layout_ == TTextLayout::tlCenter) top += (Height() - c.ClampHeight(height)) / 2;
      if (layout_ == TTextLayout::tlBottom && !fixedHeight) top += Height() - c.ClampHeight(height);
      SetBounds(left, top, width, height);
      if (ellipsis_ == TEllipsisPosition::epNone) break;
    }
  }
  if (ellipsis_ != TEllipsisPosition::epNone || wordWrap_ || !autoSize_) Paint(canvas);
  measuring_ = false;
}

void TRdCustomLabel::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left) {
    pressed_ = true;
    if (fontDownColor_ != skin::kClDefault && fontDownColor_ != Font()->GetColor()) Invalidate();
  }
  TRdGraphicControl::MouseDown(button, shift, x, y);
}

void TRdCustomLabel::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left) {
    pressed_ = false;
    if (fontDownColor_ != skin::kClDefault && fontDownColor_ != Font()->GetColor()) Invalidate();
  }
  TRdGraphicControl::MouseUp(button, shift, x, y);
}

void TRdCustomLabel::MouseEnter() {
  hovered_ = true;
  if (fontHoverColor_ != skin::kClDefault && fontHoverColor_ != Font()->GetColor()) Invalidate();
  TRdGraphicControl::MouseEnter();
}

void TRdCustomLabel::MouseLeave() {
  hovered_ = false;
  if (fontHoverColor_ != skin::kClDefault && fontHoverColor_ != Font()->GetColor()) Invalidate();
  TRdGraphicControl::MouseLeave();
}

bool TRdCustomLabel::HintAt(int, int, std::wstring& hint) {
  return TextHintAt(hint, autoShowHint_, foundEllipsis_, LabelText());
}

bool TRdCustomLabel::DialogChar(wchar_t key) {
  if (!showAccelChar_ || focusControl_.empty() || !Enabled()) return false;
  const wchar_t accel = AcceleratorOf(Caption());
  if (!accel || accel != FoldUpper(key)) return false;
  TControl* top = this;
  while (top->Parent()) top = top->Parent();
  auto* target = dynamic_cast<TWinControl*>(top->FindComponent(focusControl_));
  if (!target || !target->CanFocus() || !target->Host()) return false;
  target->Host()->TakeFocus();
  return true;
}

}  // namespace nudgelet::ui
