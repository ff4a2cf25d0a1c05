#pragma once
// TRdCustomLabel / TRdLabel: a windowless label drawn with the system text
// call. Beyond a plain label it has a skinned background, inner margins,
// hover, pressed and disabled text colours, ellipsis with word wrap, and a
// hint that appears only when the text was cut.

#include <optional>

#include "skin/DesignRect.h"
#include "skin/Picture.h"
#include "ui/GraphicControl.h"

namespace nudgelet::ui {

enum class TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

inline constexpr skin::Color kClGrayText = 0xFF000011;

class TRdCustomLabel : public TRdGraphicControl {
 public:
  explicit TRdCustomLabel(UiContext& ui);
  ~TRdCustomLabel() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  bool AutoShowHint() const { return autoShowHint_; }
  void SetAutoShowHint(bool value) { autoShowHint_ = value; }
  skin::TPicture& Background() { return background_; }
  skin::TDesignRectProperty& BackgroundOption() { return backgroundOption_; }
  TEllipsisPosition EllipsisPosition() const { return ellipsis_; }
  void SetEllipsisPosition(TEllipsisPosition value);
  const std::wstring& FocusControl() const { return focusControl_; }
  void SetFocusControl(const std::wstring& name) { focusControl_ = name; }
  skin::Color FontHoverColor() const { return fontHoverColor_; }
  void SetFontHoverColor(skin::Color value);
  skin::Color FontDownColor() const { return fontDownColor_; }
  void SetFontDownColor(skin::Color value);
  skin::Color FontDisabledColor() const { return fontDisabledColor_; }
  void SetFontDisabledColor(skin::Color value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  skin::TDesignRectProperty& TextBorder() { return textBorder_; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WrapChar() const { return wrapChar_; }
  void SetWrapChar(bool value);
  bool FoundTextEllipsis() const { return foundEllipsis_; }
  bool FoundTextWordBreak() const { return foundWordBreak_; }
  // Where the text stood at the last paint.
  const Rect& TextRect() const { return textRect_; }
  bool Hovered() const { return hovered_; }
  bool Pressed() const { return pressed_; }

  TNotifyEvent onPaintImage, onPaintEnd;

  // Fits the control to its text as the auto-size, ellipsis and word-wrap settings say.
  virtual void AdjustBounds();
  // The text drawn; the caption unless a subclass says otherwise.
  virtual std::wstring LabelText() const { return Caption(); }

  void Paint(Canvas& canvas) override;
  void Loaded() override;
  void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool HintAt(int x, int y, std::wstring& hint) override;
  // With ShowAccelChar, the accelerator in the caption gives FocusControl the keyboard.
  bool DialogChar(wchar_t key) override;

 protected:
  // DrawTextW through the label's rules; `ignoreEllipsis` for a first measure.
  virtual void DrawLabelText(Canvas& canvas, Rect& rect, bool ignoreEllipsis, unsigned flags);
  void TextChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;
  bool Measuring() const { return measuring_; }
  void SetMeasuring(bool value) { measuring_ = value; }
  // The margins around the text.
  const skin::TDesignRect& Border() const { return textBorder_.Value(); }
  // The colour the text is drawn in now.
  skin::Color TextColor() const;
  unsigned AlignmentFlag() const;
  void PaintBackground(Canvas& canvas);
  bool foundEllipsis_ = false;
  bool foundWordBreak_ = false;
  Rect textRect_;

 private:
  void PictureChanged();
  bool Changing() const { return Loading() || Destroying(); }

  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool autoShowHint_ = false;
  skin::TPicture background_;
  skin::TDesignRectProperty backgroundOption_;
  TEllipsisPosition ellipsis_ = TEllipsisPosition::epNone;
  std::wstring focusControl_;
  skin::Color fontHoverColor_ = skin::kClDefault;
  skin::Color fontDownColor_ = skin::kClDefault;
  skin::Color fontDisabledColor_ = kClGrayText;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool showAccelChar_ = false;
  skin::TDesignRectProperty textBorder_;
  bool transparent_ = true;
  bool wordWrap_ = false;
  bool wrapChar_ = true;
  bool hovered_ = false;
  bool pressed_ = false;
  bool measuring_ = false;
};

class TRdLabel : public TRdCustomLabel {
 public:
  using TRdCustomLabel::TRdCustomLabel;
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
};

// The accelerator of a caption ("&Update" gives 'U'); 0 when it has none.
wchar_t AcceleratorOf(std::wstring_view caption);

}  // namespace nudgelet::ui
