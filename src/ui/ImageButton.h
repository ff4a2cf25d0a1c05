#pragma once
// TRdImageButton: a windowless push button drawn from pictures: a background
// chosen by its state, a caption laid out by the system text call, and
// optionally a state icon and a three-state check box. Hovering may
// cross-fade between the normal and the hover picture.

#include "skin/DesignRect.h"
#include "skin/Picture.h"
#include "ui/GraphicControl.h"
#include "ui/Timers.h"

namespace nudgelet::ui {

enum class TButtonState { bsNormal, bsDown, bsDisabled, bsSelected };
enum class TIconState { isNormal, isDown, isHover, isDisabled, isSelected };
enum class THoverEffect { ibeNone, ibeSingle, ibeDouble };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TVerticalAlignment { vaTop, vaBottom, vaCenter };
enum class TFadeDirection { None, Entering, Leaving };

inline constexpr skin::Color kCl3DDkShadow = 0xFF000015;

class TRdImageButton : public TRdGraphicControl {
 public:
  explicit TRdImageButton(UiContext& ui);
  ~TRdImageButton() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // --- Pictures ---
  skin::TPicture imageNormal, imageOver, imageDown, imageDisabled, imageSelected, expandImage, imageRange;
  skin::TDesignRectProperty& ImageOption() { return imageOption_; }
  // The icon sets: [TIconState] for "Up" (while Expand) and "Dn".
  skin::TPicture upIcons[5], dnIcons[5];
  // [TCheckBoxState][normal, hover, disabled]
  skin::TPicture checkBoxImages[3][3];

  // --- Caption layout ---
  TAlignment captionAlignment = TAlignment::taCenter;
  int textOffset = 20, textLeftMargin = 0, textRightMargin = 0, textTopMargin = 0, textTopOffset = 0;
  bool wordWrap = false;
  TAlignment textWarpAlign = TAlignment::taLeftJustify;
  bool ellipsisByHeight = false;
  bool showAccelChar = false;
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool AutoSizeByText() const { return autoSizeByText_; }
  void SetAutoSizeByText(bool value);
  bool AutoShowHint() const { return autoShowHint_; }
  void SetAutoShowHint(bool value);
  skin::Color fontHoverColor = skin::kClDefault, fontDownColor = skin::kClDefault, fontSelectedColor = skin::kClDefault,
              fontDisabledColor = kCl3DDkShadow;
  THoverEffect hoverEffect = THoverEffect::ibeNone;

  // --- Icon ---
  bool iconVisible = true;
  bool Expand() const { return expand_; }
  void SetExpand(bool value);
  TAlignment iconAlign = TAlignment::taRightJustify;
  TVerticalAlignment iconAlignY = TVerticalAlignment::vaCenter;
  bool iconAlignYByText = false;
  int iconOffset = 10, iconOffsetY = 0;
  int iconCursor = crDefault;
  bool iconLockBySelected = true;
  bool iconFullClick = false;

  // --- Check box ---
  bool ShowCheckBox() const { return showCheckBox_; }
  void SetShowCheckBox(bool value);
  TCheckBoxState CheckState() const { return checkState_; }
  void SetCheckState(TCheckBoxState value);
  bool Checked() const { return checkState_ == TCheckBoxState::cbChecked; }
  void SetChecked(bool value) { SetCheckState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TAlignment checkBoxAlignX = TAlignment::taLeftJustify;
  TVerticalAlignment checkBoxAlignY = TVerticalAlignment::vaCenter;
  int checkBoxOffset = 10, checkBoxOffsetY = 0;
  bool checkBoxFullClick = true;
  int checkBoxCursor = crDefault;

  // --- Kept for the skin, not drawn ---
  std::wstring subCaption, subCaptionData;
  int subCaptionOffset = 50;

  // --- State ---
  TButtonState ButtonState() const { return state_; }
  // The one way the state changes; the only way into the selected state.
  void SetButtonState(TButtonState state);
  TIconState IconState() const { return iconState_; }
  bool Hovered() const { return hovered_; }
  bool CheckBoxHovered() const { return checkHovered_; }
  bool FoundTextEllipsis() const { return foundEllipsis_; }
  bool FoundTextWordBreak() const { return foundWordBreak_; }
  int FadeStep() const { return fadeStep_; }
  TFadeDirection FadeDirection() const { return fadeDirection_; }
  const Rect& CaptionRect() const { return captionRect_; }
  Rect IconRect();
  Rect CheckBoxRect();

  TNotifyEvent onPaintImage, onPaintEnd, onCaptionChanged, onCheckedChanged, checkBoxBeforeClick, checkBoxOnClick,
      iconOnClick;

  // Lays the caption out again (measuring, and sizing by text when asked).
  void Measure();

  void Paint(Canvas& canvas) override;
  void Loaded() override;
  void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Click() override;
  void DblClick() override;
  bool HitTest(int x, int y) override;
  int CursorAt(int x, int y) override;
  bool HintAt(int x, int y, std::wstring& hint) override;
  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler) override;

 protected:
  void EnabledChanged() override;
  void TextChanged() override;
  void FontChanged() override;
  void Resized() override;

 private:
  skin::TRdGraphic* Graphic(skin::TPicture& picture) const;
  skin::TRdGraphic* Background();
  skin::Color CaptionColor() const;
  skin::TPicture& IconPicture();
  skin::TPicture* CheckBoxPicture();
  // Where the caption may go: the client area less the offset, the icon and the margins.
  Rect TextArea();
  void PaintCaption(Canvas& canvas, bool measuring);
  void PaintIcon(Canvas& canvas);
  void PaintCheckBox(Canvas& canvas);
  bool FadeAllowed() const;
  void StartFade(TFadeDirection direction);
  void FadeTick();
  void SetHovered(bool hovered);
  void SetIconState(TIconState state);
  void PicturesChanged(bool resize);
  void SizeToPicture();
  void SizeToText(Canvas& canvas);
  void ToggleCheckBox();
  bool OnIcon(int x, int y);
  bool OnCheckBox(int x, int y);

  skin::TDesignRectProperty imageOption_;
  bool autoSize_ = false;
  bool autoSizeByText_ = false;
  bool autoShowHint_ = false;
  bool expand_ = false;
  bool showCheckBox_ = false;
  TCheckBoxState checkState_ = TCheckBoxState::cbUnchecked;
  TButtonState state_ = TButtonState::bsNormal;
  TIconState iconState_ = TIconState::isNormal;
  TIconState iconStateAtEntry_ = TIconState::isNormal;
  bool hovered_ = false;
  bool checkHovered_ = false;
  bool boxPressed_ = false;      // the press was on the box itself: no button click
  bool releasedOnIcon_ = false;  // the last left release was on the icon
  bool measuring_ = false;
  bool foundEllipsis_ = false;
  bool foundWordBreak_ = false;
  Rect captionRect_;
  int fadeStep_ = 0;
  TFadeDirection fadeDirection_ = TFadeDirection::None;
  OwnedTimer fadeTimer_;
  Bitmap rangeBuffer_;
  int widthBeforeAutoSizeByText_ = 0;
};

// The grey copy of an icon drawn while it has no disabled picture.
Bitmap GreyCopy(const Bitmap& icon);

}  // namespace nudgelet::ui
