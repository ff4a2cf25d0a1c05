#include "ui/ImageButton.h"

#include <algorithm>
#include <cstdlib>

#include "base/Strings.h"
#include "skin/DrawWithMargins.h"
#include "skin/RdgImage.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {

constexpr std::wstring_view kLineSample = L"`ghj_";
constexpr unsigned kFadeInterval = 10;
constexpr int kFadeFirst = 80, kFadeStep = 10, kFadeLast = 220;

const std::vector<std::wstring>& VerticalNames() {
  static const std::vector<std::wstring> names{L"vaTop", L"vaBottom", L"vaCenter"};
  return names;
}

}  // namespace

Bitmap GreyCopy(const Bitmap& icon) {
  Bitmap grey(icon.Width(), icon.Height());
  for (int y = 0; y < icon.Height(); ++y) {
    for (int x = 0; x < icon.Width(); ++x) {
      const std::uint32_t p = icon.At(x, y);
      const std::uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
      const std::uint32_t v = (28 * b + 151 * g + 77 * r) / 256;
      grey.At(x, y) = (p & 0xFF000000u) | v << 16 | v << 8 | v;
    }
  }
  return grey;
}

const ClassInfo& TRdImageButton::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdImageButton", &TRdGraphicControl::ClassType());
    Publisher<TRdImageButton> p(c);
    using B = TRdImageButton;
    // Plain settings that only change the look: set, then lay out and repaint.
    auto integer = [&](const wchar_t* name, int B::*field, int def) {
      p.Integer(
          name, [field](const B& o) { return o.*field; },
          [field](B& o, std::int64_t v) {
            if (o.*field == int(v)) return;
            o.*field = int(v);
            o.Measure();
            o.Invalidate();
          },
          def);
    };
    auto boolean = [&](const wchar_t* name, bool B::*field, bool def) {
      p.Boolean(
          name, [field](const B& o) { return o.*field; },
          [field](B& o, bool v) {
            if (o.*field == v) return;
            o.*field = v;
            o.Measure();
            o.Invalidate();
          },
          def);
    };
    auto color = [&](const wchar_t* name, skin::Color B::*field, skin::Color def) {
      p.Color(
          name, [field](const B& o) { return o.*field; },
          [field](B& o, std::int64_t v) {
            if (o.*field == skin::Color(v)) return;
            o.*field = skin::Color(v);
            o.Invalidate();
          },
          def);
    };
    auto alignment = [&](const wchar_t* name, TAlignment B::*field, TAlignment def) {
      p.Enumeration(
          name, AlignmentNames(), [field](const B& o) { return static_cast<int>(o.*field); },
          [field](B& o, std::int64_t v) {
            o.*field = static_cast<TAlignment>(v);
            o.Measure();
            o.Invalidate();
          },
          static_cast<int>(def));
    };
    auto vertical = [&](const wchar_t* name, TVerticalAlignment B::*field) {
      p.Enumeration(
          name, VerticalNames(), [field](const B& o) { return static_cast<int>(o.*field); },
          [field](B& o, std::int64_t v) {
            o.*field = static_cast<TVerticalAlignment>(v);
            o.Invalidate();
          },
          2);
    };
    auto picture = [&](const wchar_t* name, skin::TPicture B::*field) {
      p.Picture(name, [field](B& o) { return &(o.*field); });
    };
    picture(L"ImageNormal", &B::imageNormal);
    picture(L"ImageOver", &B::imageOver);
    picture(L"ImageDown", &B::imageDown);
    picture(L"ImageDisabled", &B::imageDisabled);
    picture(L"ImageSelected", &B::imageSelected);
    picture(L"ExpandImage", &B::expandImage);
    picture(L"ImageRange", &B::imageRange);
    p.Object(L"ImageOption", [](B& o) { return &o.imageOption_; });
    alignment(L"ButtonCaptionAlignment", &B::captionAlignment, TAlignment::taCenter);
    integer(L"TextOffset", &B::textOffset, 20);
    integer(L"TextLeftMargin", &B::textLeftMargin, 0);
    integer(L"TextRightMargin", &B::textRightMargin, 0);
    integer(L"TextTopMargin", &B::textTopMargin, 0);
    integer(L"TextTopOffset", &B::textTopOffset, 0);
    boolean(L"WordWrap", &B::wordWrap, false);
    alignment(L"TextWarpAlign", &B::textWarpAlign, TAlignment::taLeftJustify);
    boolean(L"EllipsisByHeight", &B::ellipsisByHeight, false);
    boolean(L"ShowAccelChar", &B::showAccelChar, false);
    p.Boolean(
        L"AutoSize", [](const B& o) { return o.autoSize_; }, [](B& o, bool v) { o.SetAutoSize(v); });
    p.Boolean(
        L"AutoSizeByText", [](const B& o) { return o.autoSizeByText_; }, [](B& o, bool v) { o.SetAutoSizeByText(v); });
    p.Boolean(
        L"AutoShowHint", [](const B& o) { return o.autoShowHint_; }, [](B& o, bool v) { o.SetAutoShowHint(v); });
    color(L"FontHoverColor", &B::fontHoverColor, skin::kClDefault);
    color(L"FontDownColor", &B::fontDownColor, skin::kClDefault);
    color(L"FontSelectedColor", &B::fontSelectedColor, skin::kClDefault);
    color(L"FontDisabledColor", &B::fontDisabledColor, kCl3DDkShadow);
    p.Boolean(
         L"FontAntialiased", [](const B& o) { return o.Font()->Antialiased(); },
         [](B& o, bool v) { o.Font()->SetAntialiased(v); })
        .stored = [](const skin::TPersistent&) { return false; };
    p.Enumeration(
        L"HoverEffect", {L"ibeNone", L"ibeSingle", L"ibeDouble"},
        [](const B& o) { return static_cast<int>(o.hoverEffect); },
        [](B& o, std::int64_t v) { o.hoverEffect = static_cast<THoverEffect>(v); });
    boolean(L"IconVisible", &B::iconVisible, true);
    const wchar_t* states[] = {L"Normal", L"Down", L"Hover", L"Disable", L"Selected"};
    for (int i = 0; i < 5; ++i) {
      p.Picture(std::wstring(L"Up") + states[i] + L"Icon", [i](B& o) { return &o.upIcons[i]; });
    }
    for (int i = 0; i < 5; ++i) {
      p.Picture(std::wstring(L"Dn") + states[i] + L"Icon", [i](B& o) { return &o.dnIcons[i]; });
    }
    p.Boolean(
        L"Expand", [](const B& o) { return o.expand_; }, [](B& o, bool v) { o.SetExpand(v); });
    alignment(L"IconAlign", &B::iconAlign, TAlignment::taRightJustify);
    vertical(L"IconAlignY", &B::iconAlignY);
    boolean(L"IconAlignYByText", &B::iconAlignYByText, false);
    integer(L"IconOffset", &B::iconOffset, 10);
    integer(L"IconOffsetY", &B::iconOffsetY, 0);
    p.Integer(
        L"IconCursor", [](const B& o) { return o.iconCursor; }, [](B& o, std::int64_t v) { o.iconCursor = int(v); }, 0);
    p.Boolean(
        L"IconLockBySelected", [](const B& o) { return o.iconLockBySelected; },
        [](B& o, bool v) { o.iconLockBySelected = v; }, true);
    p.Boolean(
        L"IconFullClick", [](const B& o) { return o.iconFullClick; }, [](B& o, bool v) { o.iconFullClick = v; });
    p.Boolean(
        L"ShowCheckBox", [](const B& o) { return o.showCheckBox_; }, [](B& o, bool v) { o.SetShowCheckBox(v); });
    p.Boolean(
         L"Checked", [](const B& o) { return o.Checked(); }, [](B& o, bool v) { o.SetChecked(v); })
        .stored = [](const skin::TPersistent&) { return false; };
    p.Enumeration(
         L"CheckState", {L"cbUnchecked", L"cbChecked", L"cbGrayed"},
         [](const B& o) { return static_cast<int>(o.checkState_); },
         [](B& o, std::int64_t v) { o.SetCheckState(static_cast<TCheckBoxState>(v)); })
        .stored = [](const skin::TPersistent& o) {
      return static_cast<const B&>(o).checkState_ == TCheckBoxState::cbGrayed;
    };
    const wchar_t* boxes[3][3] = {
        {L"CheckBoxNormalImage", L"CheckBoxUnCheckedHoverImage", L"CheckBoxGrayedImage"},
        {L"CheckBoxCheckedImage", L"CheckBoxCheckedHoverImage", L"CheckBoxCheckedGrayedImage"},
        {L"CheckBoxHalfCheckedImage", L"CheckBoxHalfCheckedHoverImage", L"CheckBoxHalfCheckedGrayedImage"}};
    for (int s = 0; s < 3; ++s) {
      for (int k = 0; k < 3; ++k) p.Picture(boxes[s][k], [s, k](B& o) { return &o.checkBoxImages[s][k]; });
    }
    auto boxSetting = [&](const wchar_t* name, int B::*field, int def) {
      p.Integer(
          name, [field](const B& o) { return o.*field; },
          [field](B& o, std::int64_t v) {
            o.*field = int(v);
            if (o.showCheckBox_) o.Invalidate();
          },
          def);
    };
    p.Enumeration(
        L"CheckBoxAlignX", AlignmentNames(), [](const B& o) { return static_cast<int>(o.checkBoxAlignX); },
        [](B& o, std::int64_t v) {
          o.checkBoxAlignX = static_cast<TAlignment>(v);
          if (o.showCheckBox_) o.Invalidate();
        });
    p.Enumeration(
        L"CheckBoxAlignY", VerticalNames(), [](const B& o) { return static_cast<int>(o.checkBoxAlignY); },
        [](B& o, std::int64_t v) {
          o.checkBoxAlignY = static_cast<TVerticalAlignment>(v);
          if (o.showCheckBox_) o.Invalidate();
        },
        2);
    boxSetting(L"CheckBoxOffset", &B::checkBoxOffset, 10);
    boxSetting(L"CheckBoxOffsetY", &B::checkBoxOffsetY, 0);
    p.Boolean(
        L"CheckBoxFullClick", [](const B& o) { return o.checkBoxFullClick; },
        [](B& o, bool v) { o.checkBoxFullClick = v; }, true);
    p.Integer(
        L"CheckBoxCursor", [](const B& o) { return o.checkBoxCursor; },
        [](B& o, std::int64_t v) { o.checkBoxCursor = int(v); }, 0);
    p.String(
        L"SubCaption", [](const B& o) { return o.subCaption; },
        [](B& o, const std::wstring& v) { o.subCaption = v, o.Invalidate(); });
    p.String(
        L"SubCaptionData", [](const B& o) { return o.subCaptionData; },
        [](B& o, const std::wstring& v) { o.subCaptionData = v, o.Invalidate(); });
    integer(L"SubCaptionOffset", &B::subCaptionOffset, 50);
    p.Boolean(
         L"FoundTextEllipsis", [](const B& o) { return o.foundEllipsis_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    p.Boolean(
         L"FoundTextWordBreak", [](const B& o) { return o.foundWordBreak_; }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    return c;
  }();
  return info;
}

TRdImageButton::TRdImageButton(UiContext& ui) : TRdGraphicControl(ui), fadeTimer_(ui.timers) {
  SetBounds(0, 0, 75, 25);
  for (skin::TPicture* p : {&imageNormal, &imageOver}) p->onChange = [this] { PicturesChanged(true); };
  for (skin::TPicture* p : {&imageDown, &imageDisabled, &imageSelected, &expandImage}) {
    p->onChange = [this] { PicturesChanged(false); };
  }
  imageRange.onChange = [this] { rangeBuffer_ = Bitmap(); };
  for (auto& icon : upIcons) icon.onChange = [this] { PicturesChanged(false); };
  for (auto& icon : dnIcons) icon.onChange = [this] { PicturesChanged(false); };
  for (auto& row : checkBoxImages) {
    for (auto& box : row) box.onChange = [this] { PicturesChanged(false); };
  }
  imageOption_.onChange = [this](const skin::TDesignRect&) {
    rangeBuffer_ = Bitmap();
    Invalidate();
  };
  imageOption_.onFillIn = [this] {
    skin::TRdGraphic* g = Graphic(imageNormal);
    skin::TDesignRect margins = imageOption_.Value();
    margins.left = margins.right = g ? g->Width() / 3 : 0;
    margins.top = margins.bottom = g ? g->Height() / 3 : 0;
    imageOption_.Assign(margins);
    rangeBuffer_ = Bitmap();
    Invalidate();
  };
}

TRdImageButton::~TRdImageButton() {
  fadeTimer_.Stop();
  DestroyChildren();
}

skin::TRdGraphic* TRdImageButton::Graphic(skin::TPicture& picture) const {
  skin::TRdGraphic* g = picture.Graphic();
  return g && g->Width() > 0 ? g : nullptr;
}

void TRdImageButton::PicturesChanged(bool resize) {
  if (Loading() || Destroying()) return;
  if (resize && autoSize_) SizeToPicture();
  Measure();
  Invalidate();
}

void TRdImageButton::SizeToPicture() {
  skin::TRdGraphic* g = Graphic(imageNormal);
  if (!g || g->Height() <= 0) return;
  const TAlign a = Align();
  const int w = a == TAlign::alNone || a == TAlign::alLeft || a == TAlign::alRight ? g->Width() : Width();
  const int h = a == TAlign::alNone || a == TAlign::alTop || a == TAlign::alBottom ? g->Height() : Height();
  SetBounds(Left(), Top(), w, h);
}

void TRdImageButton::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  if (value && !Loading()) SizeToPicture();
}

void TRdImageButton::SetAutoSizeByText(bool value) {
  if (autoSizeByText_ == value) return;
  autoSizeByText_ = value;
  if (value) widthBeforeAutoSizeByText_ = Width();
  Measure();
  Invalidate();
}

void TRdImageButton::SetAutoShowHint(bool value) {
  autoShowHint_ = value;
  if (value) SetShowHint(true);
}

void TRdImageButton::SetExpand(bool value) {
  if (expand_ == value) return;
  expand_ = value;
  Invalidate();
}

void TRdImageButton::SetShowCheckBox(bool value) {
  if (showCheckBox_ == value) return;
  showCheckBox_ = value;
  Measure();
  Invalidate();
}

void TRdImageButton::SetCheckState(TCheckBoxState value) {
  if (checkState_ == value) return;
  checkState_ = value;
  if (onCheckedChanged) onCheckedChanged(*this);
  if (showCheckBox_) Invalidate();
}

void TRdImageButton::SetButtonState(TButtonState state) {
  if (state_ == state) return;
  const TButtonState old = state_;
  state_ = state;
  if (state == TButtonState::bsSelected) {
    hovered_ = false;
    if (iconLockBySelected && iconFullClick) iconState_ = TIconState::isSelected;
  } else if (old == TButtonState::bsSelected && state == TButtonState::bsNormal &&
             iconState_ == TIconState::isSelected) {
    iconState_ = TIconState::isNormal;
  }
  Invalidate();
}

void TRdImageButton::SetIconState(TIconState state) {
  if (iconState_ == state) return;
  iconState_ = state;
  Invalidate();
}

void TRdImageButton::EnabledChanged() {
  SetButtonState(Enabled() ? TButtonState::bsNormal : TButtonState::bsDisabled);
  if (!Enabled()) {
    fadeTimer_.Stop();
    fadeStep_ = 0;
    fadeDirection_ = TFadeDirection::None;
  }
  Invalidate();
}

void TRdImageButton::TextChanged() {
  Measure();
  Invalidate();
  if (onCaptionChanged) onCaptionChanged(*this);
}

void TRdImageButton::FontChanged() {
  Measure();
  Invalidate();
}

void TRdImageButton::Resized() {
  rangeBuffer_ = Bitmap();
  if (!Loading()) Measure();
}

void TRdImageButton::Loaded() {
  TRdGraphicControl::Loaded();
  if (autoSize_) SizeToPicture();
  Measure();
}

// --- Drawing ---

skin::TRdGraphic* TRdImageButton::Background() {
  if (state_ == TButtonState::bsDown && hovered_) {
    if (auto* g = Graphic(imageDown)) return g;
  }
  if (hovered_ && Enabled() && state_ != TButtonState::bsSelected) {
    if (auto* g = Graphic(imageOver)) return g;
  }
  if (!Enabled()) {
    if (auto* g = Graphic(imageDisabled)) return g;
  }
  if (state_ == TButtonState::bsSelected) {
    if (auto* g = Graphic(imageSelected)) return g;
  }
  if (expand_) {
    if (auto* g = Graphic(expandImage)) return g;
  }
  return Graphic(imageNormal);
}

skin::Color TRdImageButton::CaptionColor() const {
  skin::Color color = Font()->GetColor();
  auto use = [&](skin::Color c) {
    if (c != skin::kClDefault) color = c;
  };
  switch (state_) {
    case TButtonState::bsNormal:
      if (hovered_) use(fontHoverColor);
      break;
    case TButtonState::bsDown:
      use(fontDownColor);
      break;
    case TButtonState::bsDisabled:
      use(fontDisabledColor);
      break;
    case TButtonState::bsSelected:
      use(fontSelectedColor);
      break;
  }
  return color;
}

void TRdImageButton::Paint(Canvas& canvas) {
  const bool measuring = measuring_ || canvas.Measuring();
  const Rect r = ClientRect();
  canvas.SelectFont(*Font());
  if (!measuring) {
    const std::optional<skin::TDesignRect> margins = imageOption_.Value();
    if (fadeDirection_ != TFadeDirection::None && FadeAllowed()) {
      skin::TRdGraphic* over = Graphic(imageOver);
      skin::TRdGraphic* normal = Graphic(imageNormal);
      skin::TRdGraphic* first = fadeDirection_ == TFadeDirection::Entering ? over : normal;
      skin::TRdGraphic* second = first == over ? normal : over;
      canvas.DrawPicture(*first, r, margins, hoverEffect == THoverEffect::ibeSingle ? 255 : fadeStep_);
      canvas.DrawPicture(*second, r, margins, 255 - fadeStep_);
    } else if (skin::TRdGraphic* g = Background()) {
      canvas.DrawPicture(*g, r, margins);
    }
    if (imageRange.Graphic() && !imageOption_.Value().Empty() &&
        (rangeBuffer_.Width() != Width() || rangeBuffer_.Height() != Height())) {
      rangeBuffer_ = Bitmap(Width(), Height(), 0xFF000000u);
      skin::DrawWithMargins(rangeBuffer_, r, *imageRange.Graphic(), imageOption_.Value());
    }
    if (onPaintImage) onPaintImage(*this);
  }
  PaintCaption(canvas, measuring);
  if (!measuring) {
    PaintIcon(canvas);
    PaintCheckBox(canvas);
    if (onPaintEnd) onPaintEnd(*this);
  }
}

Rect TRdImageButton::TextArea() {
  const Rect client = ClientRect();
  Rect area = client;
  if (captionAlignment == TAlignment::taLeftJustify) area.left += textOffset;
  if (captionAlignment == TAlignment::taRightJustify) area.right -= textOffset;
  const Rect icon = iconVisible ? IconRect() : Rect{};
  if (icon.Width() > 0) {
    if (iconAlign == TAlignment::taLeftJustify) {
      area.left = std::max(area.left, icon.right + (captionAlignment == TAlignment::taLeftJustify ? textOffset : 0));
    } else if (iconAlign == TAlignment::taRightJustify) {
      area.right = std::min(area.right, icon.left - (captionAlignment == TAlignment::taRightJustify ? textOffset : 0));
    }
  }
  area.left = std::max(area.left, client.left + textLeftMargin);
  area.right = std::min(area.right, client.right - textRightMargin);
  area.top = std::max(area.top, client.top + textTopMargin);
  return area;
}

void TRdImageButton::PaintCaption(Canvas& canvas, bool measuring) {
  const Rect client = ClientRect();
  const std::wstring& caption = Caption();
  unsigned flags = showAccelChar ? 0 : kDtNoPrefix;
  flags |= wordWrap ? kDtWordBreak | kDtEditControl | kDtNoClip : kDtSingleLine | kDtNoClip;
  flags |= textWarpAlign == TAlignment::taRightJustify ? kDtRight
           : textWarpAlign == TAlignment::taCenter     ? kDtCenter
                                                       : kDtLeft;
  const Rect area = TextArea();
  const int leftLimit = client.left + textLeftMargin, rightLimit = client.right - textRightMargin;
  const int topLimit = client.top + textTopMargin;

  Rect extent = area;
  if (!caption.empty()) canvas.DrawString(caption, extent, flags | kDtCalcRect);
  const int w = caption.empty() ? 0 : extent.Width(), h = caption.empty() ? 0 : extent.Height();
  Rect block;
  auto centreVertically = [&](Rect& b, int height) {
    b.top = std::max(topLimit, area.top + (area.Height() - height) / 2);
    b.bottom = b.top + height;
  };
  switch (captionAlignment) {
    case TAlignment::taLeftJustify:
      block = {area.left, 0, area.right, 0};
      break;
    case TAlignment::taCenter:
      block.left = area.left + (area.Width() - w) / 2;
      block.right = block.left + w;
      break;
    case TAlignment::taRightJustify:
      block.right = area.right;
      block.left = std::max(area.left, area.right - w);
      break;
  }
  centreVertically(block, h);
  if (block.left < leftLimit) block = Offset(block, leftLimit - block.left, 0);
  if (block.right > rightLimit) block = Offset(block, rightLimit - block.right, 0);
  if (block.left < leftLimit || block.right > rightLimit) {
    block.left = std::max(block.left, leftLimit);
    block.right = std::min(block.right, rightLimit);
    Rect again = block;
    if (!caption.empty()) canvas.DrawString(caption, again, flags | kDtCalcRect);
    centreVertically(block, again.Height());
  }
  foundEllipsis_ = false;
  Rect sample{0, 0, 1000, 1000};
  int lineHeight = canvas.DrawString(kLineSample, sample, kDtCalcRect | kDtSingleLine | kDtNoPrefix);
  if (lineHeight == 0) lineHeight = std::abs(Font()->Height()) + 3;
  if (wordWrap && ellipsisByHeight && block.bottom > area.bottom) {
    foundEllipsis_ = true;
    const int lines = std::max(1, area.Height() / lineHeight);
    centreVertically(block, lines * lineHeight);
  }
  block = Offset(block, 0, textTopOffset);
  if (!wordWrap) {
    Rect single{0, 0, 1 << 20, 1000};
    if (!caption.empty()) canvas.DrawString(caption, single, flags | kDtCalcRect);
    if (single.Width() > block.Width()) foundEllipsis_ = true;
  }
  foundWordBreak_ = block.Height() > lineHeight;
  if (measuring) return;
  captionRect_ = block;
  if (caption.empty()) return;
  canvas.SetTextColor(CaptionColor());
  Rect drawn = block;
  canvas.DrawString(caption, drawn, (flags & ~kDtNoClip) | kDtEndEllipsis);
}

skin::TPicture& TRdImageButton::IconPicture() {
  skin::TPicture* set = expand_ ? upIcons : dnIcons;
  int index = static_cast<int>(iconState_);
  if (!Enabled()) index = static_cast<int>(TIconState::isDisabled);
  skin::TPicture& chosen = set[index];
  return Graphic(chosen) ? chosen : set[0];
}

Rect TRdImageButton::IconRect() {
  skin::TRdGraphic* g = Graphic(IconPicture());
  if (!g) return {};
  const int iw = g->Width(), ih = g->Height();
  int x = 0;
  switch (iconAlign) {
    case TAlignment::taLeftJustify:
      x = iconOffset;
      break;
    case TAlignment::taRightJustify:
      x = Width() - iw - iconOffset;
      break;
    case TAlignment::taCenter:
      x = (Width() - iw) / 2 + iconOffset;
      break;
  }
  const Rect base = iconAlignYByText ? captionRect_ : ClientRect();
  int y = 0;
  switch (iconAlignY) {
    case TVerticalAlignment::vaTop:
      y = base.top + iconOffsetY;
      break;
    case TVerticalAlignment::vaBottom:
      y = base.bottom - ih - iconOffsetY;
      break;
    case TVerticalAlignment::vaCenter:
      y = base.top + (base.Height() - ih) / 2 + iconOffsetY;
      break;
  }
  return {x, y, x + iw, y + ih};
}

void TRdImageButton::PaintIcon(Canvas& canvas) {
  if (!iconVisible) return;
  const Rect at = IconRect();
  if (at.Empty()) return;
  skin::TPicture* set = expand_ ? upIcons : dnIcons;
  if (!Enabled() && !Graphic(set[static_cast<int>(TIconState::isDisabled)])) {
    if (auto* image = dynamic_cast<skin::TRdgImage*>(Graphic(set[0]))) {
      canvas.DrawBitmap(GreyCopy(image->ToBitmap()), at);
      return;
    }
  }
  if (skin::TRdGraphic* g = Graphic(IconPicture())) canvas.DrawPicture(*g, at, std::nullopt);
}

skin::TPicture* TRdImageButton::CheckBoxPicture() {
  auto& row = checkBoxImages[static_cast<int>(checkState_)];
  if (!Enabled() && row[2].Graphic()) return &row[2];
  if (checkHovered_ && row[1].Graphic()) return &row[1];
  return &row[0];
}

Rect TRdImageButton::CheckBoxRect() {
  skin::TRdGraphic* g = checkBoxImages[0][0].Graphic();
  if (!g) g = CheckBoxPicture()->Graphic();
  if (!g || g->Width() < 1 || g->Height() < 1) return {};
  const int pw = g->Width(), ph = g->Height();
  int x = 0;
  switch (checkBoxAlignX) {
    case TAlignment::taLeftJustify:
      x = checkBoxOffset;
      break;
    case TAlignment::taRightJustify:
      x = Width() - pw - checkBoxOffset;
      break;
    case TAlignment::taCenter:
      x = (Width() - pw) / 2 + checkBoxOffset;
      break;
  }
  int y = 0;
  switch (checkBoxAlignY) {
    case TVerticalAlignment::vaTop:
      y = captionRect_.top + checkBoxOffsetY;
      break;
    case TVerticalAlignment::vaBottom:
      y = captionRect_.bottom - ph - checkBoxOffsetY;
      break;
    case TVerticalAlignment::vaCenter:
      y = (Height() - ph) / 2 + checkBoxOffsetY;
      break;
  }
  return {x, y, x + pw, y + ph};
}

void TRdImageButton::PaintCheckBox(Canvas& canvas) {
  if (!showCheckBox_) return;
  skin::TRdGraphic* g = CheckBoxPicture()->Graphic();
  if (!g || g->Width() < 1 || g->Height() < 1) return;
  const Rect box = CheckBoxRect();
  canvas.DrawPicture(*g, {box.left, box.top, box.left + g->Width(), box.top + g->Height()}, std::nullopt);
}

void TRdImageButton::Measure() {
  if (Loading() || measuring_ || Destroying()) return;
  measuring_ = true;
  Canvas canvas(nullptr, {}, Ui().Colors(), Ui().text);
  if (autoSizeByText_) SizeToText(canvas);
  Paint(canvas);
  measuring_ = false;
}

void TRdImageButton::SizeToText(Canvas& canvas) {
  if (Constraints().maxWidth > 0) SetWidth(Constraints().maxWidth);
  canvas.SelectFont(*Font());
  const unsigned flags = (showAccelChar ? 0 : kDtNoPrefix) | (wordWrap ? kDtWordBreak | kDtEditControl : kDtSingleLine);
  // The caption where the layout puts it (beside an icon, past the offset and
  // the margins), plus the padding the layout took off on the right.
  const Rect area = TextArea();
  Rect text = ClientRect();
  if (!Caption().empty()) canvas.DrawString(Caption(), text, flags | kDtCalcRect);
  int width = area.left + text.Width() + (Width() - area.right);
  int height = area.top + text.Height();
  if (showCheckBox_) {
    if (skin::TRdGraphic* g = checkBoxImages[0][0].Graphic()) {
      width = std::max(width, g->Width() + checkBoxOffset);
      height = std::max(height, g->Height() + checkBoxOffsetY);
    }
  }
  if (iconVisible) {
    if (skin::TRdGraphic* g = Graphic(IconPicture())) {
      width = std::max(width, g->Width() + iconOffset);
      height = std::max(height, g->Height() + iconOffsetY);
    }
  }
  const TAlign a = Align();
  const int w = a == TAlign::alNone || a == TAlign::alLeft || a == TAlign::alRight ? width : Width();
  const int h = a == TAlign::alNone || a == TAlign::alTop || a == TAlign::alBottom ? height + textTopOffset : Height();
  SetBounds(Left(), Top(), w, h);
}

// --- Fading ---

bool TRdImageButton::FadeAllowed() const {
  auto nonEmpty = [](const skin::TPicture& p) { return p.Graphic() && !p.Graphic()->Empty(); };
  return hoverEffect != THoverEffect::ibeNone && Enabled() && !showCheckBox_ && !measuring_ && !expand_ &&
         nonEmpty(imageNormal) && nonEmpty(imageOver);
}

void TRdImageButton::StartFade(TFadeDirection direction) {
  if (!FadeAllowed()) return;
  fadeDirection_ = direction;
  fadeTimer_.Start(kFadeInterval, [this] { FadeTick(); });
}

void TRdImageButton::FadeTick() {
  auto stop = [this] {
    fadeTimer_.Stop();
    fadeStep_ = 0;
    fadeDirection_ = TFadeDirection::None;
  };
  if (state_ == TButtonState::bsDown && hovered_) {
    stop();
  } else {
    if (fadeStep_ == 0) fadeStep_ = kFadeFirst;
    fadeStep_ += kFadeStep;
    if (fadeStep_ >= kFadeLast) stop();
  }
  Invalidate();
}

// --- Mouse ---

void TRdImageButton::SetHovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  if (!(Enabled() && !Graphic(imageOver) && fontHoverColor == skin::kClDefault)) Invalidate();
}

bool TRdImageButton::OnIcon(int x, int y) { return iconVisible && Contains(IconRect(), {x, y}); }
bool TRdImageButton::OnCheckBox(int x, int y) { return showCheckBox_ && Contains(CheckBoxRect(), {x, y}); }

void TRdImageButton::MouseEnter() {
  if (Enabled() && state_ != TButtonState::bsSelected) {
    const bool was = hovered_;
    iconStateAtEntry_ = iconState_;
    SetHovered(true);
    if (!was) StartFade(TFadeDirection::Entering);
  }
  TRdGraphicControl::MouseEnter();
}

void TRdImageButton::MouseLeave() {
  const bool was = hovered_;
  SetHovered(false);
  if (checkHovered_) {
    checkHovered_ = false;
    Invalidate();
  }
  if (Enabled() && !iconFullClick && (iconState_ == TIconState::isHover)) SetIconState(TIconState::isNormal);
  if (was && state_ != TButtonState::bsSelected) StartFade(TFadeDirection::Leaving);
  TRdGraphicControl::MouseLeave();
}

void TRdImageButton::MouseMove(unsigned shift, int x, int y) {
  if (showCheckBox_) {
    const bool on = OnCheckBox(x, y);
    if (on != checkHovered_) {
      checkHovered_ = on;
      Invalidate();
    }
  }
  if (Enabled() && !iconFullClick && state_ != TButtonState::bsSelected && iconState_ != TIconState::isDown) {
    SetIconState(OnIcon(x, y) ? TIconState::isHover : TIconState::isNormal);
  }
  TRdGraphicControl::MouseMove(shift, x, y);
}

void TRdImageButton::ToggleCheckBox() {
  if (checkBoxBeforeClick) checkBoxBeforeClick(*this);
  SetCheckState(checkState_ == TCheckBoxState::cbChecked ? TCheckBoxState::cbUnchecked : TCheckBoxState::cbChecked);
  if (checkBoxOnClick) checkBoxOnClick(*this);
  Invalidate();
}

void TRdImageButton::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  boxPressed_ = false;
  if (button != MouseButton::Left) return TRdGraphicControl::MouseDown(button, shift, x, y);
  const bool onBox = OnCheckBox(x, y), onIcon = OnIcon(x, y);
  if (showCheckBox_ && (onBox || checkBoxFullClick)) {
    const bool foldPanel = Parent() && Parent()->ClassName() == L"TRdFoldPanel";
    if (onBox || (!foldPanel && !onIcon)) {
      ToggleCheckBox();
      if (onBox && !checkBoxFullClick) {
        boxPressed_ = true;
        return;
      }
    }
  }
  if (state_ == TButtonState::bsSelected && iconLockBySelected) return;
  if (iconFullClick || onIcon) {
    if (iconState_ != TIconState::isDisabled && iconState_ != TIconState::isSelected) {
      SetIconState(TIconState::isDown);
    }
    if (!iconFullClick) return;  // the icon's press, not the button's
  }
  TRdGraphicControl::MouseDown(button, shift, x, y);
  if (state_ == TButtonState::bsNormal) SetButtonState(TButtonState::bsDown);
}

void TRdImageButton::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  TRdGraphicControl::MouseUp(button, shift, x, y);
  if (button != MouseButton::Left) return;
  releasedOnIcon_ = OnIcon(x, y);
  if (state_ == TButtonState::bsDown) SetButtonState(TButtonState::bsNormal);
  if (!Contains(ClientRect(), {x, y})) {
    SetHovered(false);
    if (iconState_ == TIconState::isDown) SetIconState(TIconState::isNormal);
  }
  if (iconFullClick && iconState_ == TIconState::isDown) {
    SetIconState(hovered_ ? TIconState::isHover : TIconState::isNormal);
  }
}

void TRdImageButton::Click() {
  if (boxPressed_) return;
  if (state_ == TButtonState::bsDown) SetButtonState(TButtonState::bsNormal);
  if (!iconFullClick) {
    // Where the button is let go decides whose click it is, not where it was pressed.
    if (releasedOnIcon_ && (iconState_ == TIconState::isDown || iconState_ == TIconState::isSelected)) {
      if (iconState_ == TIconState::isDown) SetIconState(TIconState::isHover);
      if (iconOnClick) iconOnClick(*this);
      return;
    }
    if (iconState_ == TIconState::isDown) SetIconState(TIconState::isNormal);
  }
  TRdGraphicControl::Click();
}

void TRdImageButton::DblClick() {
  if (boxPressed_ && !checkBoxFullClick) return;
  TRdGraphicControl::DblClick();
}

bool TRdImageButton::HitTest(int x, int y) {
  auto* range = dynamic_cast<skin::TRdgImage*>(imageRange.Graphic());
  if (!range || range->Empty()) return true;
  if (!imageOption_.Value().Empty()) {
    if (rangeBuffer_.Width() != Width() || rangeBuffer_.Height() != Height()) {
      rangeBuffer_ = Bitmap(Width(), Height(), 0xFF000000u);
      skin::DrawWithMargins(rangeBuffer_, ClientRect(), *range, imageOption_.Value());
    }
    if (x < 0 || y < 0 || x >= rangeBuffer_.Width() || y >= rangeBuffer_.Height()) return false;
    const std::uint32_t p = rangeBuffer_.At(x, y);
    return (p >> 24) != 0 && (p & 0x00FFFFFF) != 0;
  }
  const std::optional<std::uint32_t> p = range->Pixel(x, y);
  return p && (*p >> 24) != 0 && (*p & 0x00FFFFFF) != 0;
}

int TRdImageButton::CursorAt(int x, int y) {
  if (showCheckBox_ && checkBoxCursor != crDefault && OnCheckBox(x, y)) return checkBoxCursor;
  if (iconCursor != crDefault && OnIcon(x, y)) return iconCursor;
  return Cursor();
}

bool TRdImageButton::HintAt(int, int, std::wstring& hint) {
  return TextHintAt(hint, autoShowHint_, foundEllipsis_, Caption());
}

bool TRdImageButton::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  const std::pair<const wchar_t*, TNotifyEvent*> events[] = {{L"OnPaintImage", &onPaintImage},
                                                             {L"OnPaintEnd", &onPaintEnd},
                                                             {L"OnCaptionChanged", &onCaptionChanged},
                                                             {L"OnCheckedChanged", &onCheckedChanged},
                                                             {L"CheckBoxBeforeClick", &checkBoxBeforeClick},
                                                             {L"CheckBoxOnClick", &checkBoxOnClick},
                                                             {L"IconOnClick", &iconOnClick},
                                                             {L"OnMouseExit", &onMouseLeave}};
  for (const auto& [name, slot] : events) {
    if (EqualsIgnoreCase(event, name)) return *slot = handler, true;
  }
  return TRdGraphicControl::BindEvent(event, handler);
}

}  // namespace nudgelet::ui
