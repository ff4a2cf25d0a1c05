#include "ui/GraphicControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TRdGraphicControl::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdGraphicControl", &TControl::ClassType());
    Publisher<TRdGraphicControl> p(c);
    p.Object(L"AllSkin", [](TRdGraphicControl& o) { return &o.allSkin_; });
    p.Object(L"Font", [](TRdGraphicControl& o) { return &o.font_; });
    p.Boolean(
        L"ParentFont", [](const TRdGraphicControl& o) { return o.ParentFont(); },
        [](TRdGraphicControl& o, bool v) { o.SetParentFont(v); }, true);
    auto never = [](const skin::TPersistent&) { return false; };
    p.Integer(
         L"Left_Right", [](const TRdGraphicControl& o) { return o.LeftRight(); },
         [](TRdGraphicControl& o, std::int64_t v) { o.SetLeftRight(int(v)); })
        .stored = never;
    p.Integer(
         L"Top_Bottom", [](const TRdGraphicControl& o) { return o.TopBottom(); },
         [](TRdGraphicControl& o, std::int64_t v) { o.SetTopBottom(int(v)); })
        .stored = never;
    p.Integer(
         L"Left_Invert", [](const TRdGraphicControl& o) { return o.LeftInvert(); },
         [](TRdGraphicControl& o, std::int64_t v) { o.SetLeftInvert(int(v)); })
        .stored = never;
    p.Integer(
         L"Top_Invert", [](const TRdGraphicControl& o) { return o.TopInvert(); },
         [](TRdGraphicControl& o, std::int64_t v) { o.SetTopInvert(int(v)); })
        .stored = never;
    return c;
  }();
  return info;
}

TRdGraphicControl::TRdGraphicControl(UiContext& ui)
    : TControl(ui), allSkin_(ui.skins, this), font_(ui.skins, this, &allSkin_) {
  AdoptFont(font_);
}

TRdGraphicControl::~TRdGraphicControl() { DestroyChildren(); }

int TRdGraphicControl::LeftInvert() const { return Parent() ? Parent()->Width() - (Left() + Width()) : 0; }
void TRdGraphicControl::SetLeftInvert(int value) {
  if (Parent()) SetLeft(Parent()->Width() - value - Width());
}
int TRdGraphicControl::TopInvert() const { return Parent() ? Parent()->Height() - (Top() + Height()) : 0; }
void TRdGraphicControl::SetTopInvert(int value) {
  if (Parent()) SetTop(Parent()->Height() - value - Height());
}

bool TRdGraphicControl::TextHintAt(std::wstring& hint, bool autoShowHint, bool textCut, const std::wstring& fullText) {
  if (!EffectiveShowHint()) return false;
  hint = Hint();
  if (autoShowHint) {
    if (!textCut) {
      hint.clear();
    } else if (hint.empty()) {
      hint = fullText;
    }
  }
  bool canShow = true;
  if (onShowHint) onShowHint(*this, hint, canShow);
  return canShow && !hint.empty();
}

void TRdGraphicControl::Loaded() {
  allSkin_.Apply(true);
  TControl::Loaded();
}

}  // namespace nudgelet::ui
