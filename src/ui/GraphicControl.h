#pragma once
// TRdGraphicControl: the windowless control every skinned control derives
// from. It binds the control to the skin through AllSkin, gives it a skinned
// font whose skin class follows the control's, and offers positions measured
// from the right and bottom edges so that skins can place controls there.

#include "skin/Font.h"
#include "skin/SkinClass.h"
#include "ui/Control.h"

namespace nudgelet::ui {

class TRdGraphicControl : public TControl {
 public:
  explicit TRdGraphicControl(UiContext& ui);
  ~TRdGraphicControl() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  skin::TRdSkinClass& AllSkin() { return allSkin_; }
  using TControl::Font;
  skin::TRdFont* Font() override { return &font_; }

  // Left + Width; setting it moves the control so its right edge is there.
  int LeftRight() const { return Left() + Width(); }
  void SetLeftRight(int value) { SetLeft(value - Width()); }
  int TopBottom() const { return Top() + Height(); }
  void SetTopBottom(int value) { SetTop(value - Height()); }
  // The distance of the right edge from the parent's right edge; 0 without a parent.
  int LeftInvert() const;
  void SetLeftInvert(int value);
  int TopInvert() const;
  void SetTopInvert(int value);

  // The skin is applied, the font with it, before the control completes its loading.
  void Loaded() override;

 protected:
  // The hint of a control that can show its own text cut short: with
  // AutoShowHint only while the text is cut, and then the full text when no
  // hint is set. onShowHint has the last word.
  bool TextHintAt(std::wstring& hint, bool autoShowHint, bool textCut, const std::wstring& fullText);

 private:
  skin::TRdSkinClass allSkin_;
  skin::TRdFont font_;
};

}  // namespace nudgelet::ui
