#pragma once
// The skinned scroll bar: TRdScrollBarEx, a windowless bar that holds all the
// logic and draws itself from a picture set, and TRdScrollBar, a small window
// that hosts exactly one of them and passes its properties on. TRdBitmap is
// the off-screen bitmap that takes any size, negative ones as 0.

#include <array>
#include <functional>

#include "skin/DesignRect.h"
#include "skin/Picture.h"
#include "ui/GraphicControl.h"
#include "ui/Timers.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

class TRdScrollBarEx;

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollBarPos { spLeftBtn, spLeftSpace, spTrack, spRightSpace, spRightBtn, spNone };
enum class TScrollMode { smAdd, smDec };
enum class TScrollDrawState { up, disabled, down, exclusive };

// Scroll codes of OnScroll.
inline constexpr int kScrollLineBack = 0, kScrollLineForward = 1, kScrollPageBack = 2, kScrollPageForward = 3,
                     kScrollThumb = 5, kScrollWheelUp = 20, kScrollWheelDown = 36;

class TRdBitmap {
 public:
  // The size asked for; a bitmap with a side of 0 has no pixels.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);
  Bitmap& Pixels() { return bitmap_; }

 private:
  int width_ = 0, height_ = 0;
  Bitmap bitmap_;
};

enum TScrollBarPicture {
  kBtnLeft,
  kBtnLeftHot,
  kBtnRight,
  kBtnRightHot,
  kScrollBgTop,
  kScrollBg,
  kScrollBgBottom,
  kTrackTop,
  kTrackTopHot,
  kTrackCenter,
  kTrackCenterHot,
  kTrackBottom,
  kTrackBottomHot,
  kScrollBarPictureCount
};

class TRdScrollBarImages : public skin::TPersistent {
 public:
  explicit TRdScrollBarImages(TRdScrollBarEx& owner);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  skin::TPicture& Picture(TScrollBarPicture index) { return pictures_[index]; }
  skin::TDesignRectProperty& ScrollBgOption() { return scrollBgOption_; }
  skin::TDesignRectProperty& TrackOption() { return trackOption_; }
  // Width and height of a picture, 0 × 0 when it has none.
  int PictureWidth(TScrollBarPicture index);
  int PictureHeight(TScrollBarPicture index);
  // The pictures as a skin section would give them.
  std::vector<std::wstring> PropertyCopy();

 private:
  TRdScrollBarEx& owner_;
  std::array<skin::TPicture, kScrollBarPictureCount> pictures_;
  skin::TDesignRectProperty scrollBgOption_;
  skin::TDesignRectProperty trackOption_;
};

using TScrollEvent =
    std::function<void(TRdScrollBarEx& sender, bool startOfChange, int code, TScrollMode mode, int change)>;
using TDrawScrollPartEvent = std::function<void(TRdScrollBarEx& sender, Canvas& canvas, TScrollBarPos part,
                                                const Rect& rect, TScrollDrawState state, bool& defaultDraw)>;

class TRdScrollBarEx : public TRdGraphicControl {
 public:
  explicit TRdScrollBarEx(UiContext& ui);
  ~TRdScrollBarEx() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // --- Range ---
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int value);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int value);
  // The steps in force: the automatic ones while the properties are 0.
  int SmallStep() const;
  int LargeStep() const;
  unsigned waitInterval = 500;

  void SetParams(int min, int max, int pageSize, int position, bool repaint, bool quiet);
  void SetPositionQuiet(int position, bool redraw);
  void ScrollBy(TScrollMode mode, bool startOfChange, int code, int amount);

  // --- Look ---
  bool AllowArrow() const { return allowArrow_; }
  void SetAllowArrow(bool v) { SetFlag(allowArrow_, v); }
  bool AutoArrow() const { return autoArrow_; }
  void SetAutoArrow(bool v) { SetFlag(autoArrow_, v); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { SetFlag(autoSize_, v); }
  bool AutoHide() const { return autoHide_; }
  void SetAutoHide(bool v);
  bool AutoCenter() const { return autoCenter_; }
  void SetAutoCenter(bool v) { SetFlag(autoCenter_, v); }
  bool ownerDraw = false;
  TRdScrollBarImages& AllSkinImage() { return images_; }

  // --- Layout ---
  const Rect& PartRect(TScrollBarPos part) const { return parts_[part]; }
  TScrollBarPos PartAt(int x, int y) const;
  TScrollBarPos Hot() const { return hot_; }
  TScrollBarPos Pressed() const { return pressed_; }
  bool Dragging() const { return pressed_ == spTrack; }
  int ThumbLength() const { return thumbLength_; }
  // Lays the parts out from the range, the position and the pictures.
  void Layout();
  // Sizes the bar to its pictures' thickness (the host when it has one).
  void ApplyThickness();
  int Thickness();

  TScrollEvent onScroll;
  TNotifyEvent onChange, onTrackEnd, onEnabledChange, onPaintEnd;
  TDrawScrollPartEvent onDrawControl;

  // The window that hosts this bar, if any.
  void SetHost(TWinControl* host) { host_ = host; }
  TWinControl* HostControl() const { return host_; }

  // Sizes below 0 or above twice the screen are taken as 0.
  void SetBounds(int left, int top, int width, int height) override;
  void Paint(Canvas& canvas) override;
  void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseLeave() override;
  bool MouseWheel(int delta, unsigned shift, int x, int y) override;
  void Loaded() override;
  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler) override;

  // Pictures or flags changed.
  void PicturesChanged();

 protected:
  void Resized() override;
  void EnabledChanged() override;
  void VisibleChanged() override;

 private:
  bool Vertical() const { return kind_ == TScrollBarKind::sbVertical; }
  int Along(const Rect& r) const { return Vertical() ? r.top : r.left; }
  int AlongEnd(const Rect& r) const { return Vertical() ? r.bottom : r.right; }
  int Length() const { return Vertical() ? Height() : Width(); }
  int Across() const { return Vertical() ? Width() : Height(); }
  // A rectangle from positions along the bar and across it.
  Rect Span(int from, int to, int acrossFrom, int acrossTo) const;
  std::pair<int, int> ArrowSize(bool start);
  std::pair<int, int> DefaultArrowSize() const;
  int MinThumbLength();
  int MaxPosition() const;
  void SetFlag(bool& flag, bool value);
  void UpdateEnabled();
  void Changed(bool scrolled, int code, TScrollMode mode, int change);
  void Step(TScrollBarPos part);
  void StartRepeat(unsigned delay);
  void RepeatTick();
  void StopRepeat();
  TScrollDrawState StateOf(TScrollBarPos part) const;
  void PaintPart(Canvas& canvas, TScrollBarPos part);
  void DrawPart(Canvas& canvas, TScrollBarPos part, TScrollDrawState state);
  void DrawThumb(Canvas& canvas, const Rect& r, bool hot);
  void DrawArrow(Canvas& canvas, const Rect& r, bool start, TScrollDrawState state);
  void DrawCentred(Canvas& canvas, skin::TPicture& picture, const Rect& r, bool centre,
                   const std::optional<skin::TDesignRect>& margins);

  TScrollBarKind kind_ = TScrollBarKind::sbVertical;
  int min_ = 0, max_ = 100, pageSize_ = 0, position_ = 0, smallChange_ = 0, largeChange_ = 0;
  bool allowArrow_ = true, autoArrow_ = true, autoSize_ = true, autoHide_ = false, autoCenter_ = true;
  TRdScrollBarImages images_;
  std::array<Rect, 5> parts_{};
  int thumbLength_ = 0;
  TScrollBarPos hot_ = spNone, pressed_ = spNone;
  Point last_;
  bool pointerInside_ = false;
  int thumbStartAtPress_ = 0;
  Point pressPoint_;
  int positionAtPress_ = 0;
  bool startOfChange_ = false;
  OwnedTimer repeat_;
  TWinControl* host_ = nullptr;
  bool mirroring_ = false;
};

class TRdScrollBar : public TWinControl {
 public:
  explicit TRdScrollBar(UiContext& ui);
  ~TRdScrollBar() override;
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  TRdScrollBarEx& Bar() { return *bar_; }
  bool MouseWheel(int delta, unsigned shift, int x, int y) override;
  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler) override;

 protected:
  void Resized() override;
  void VisibleChanged() override;
  void Paint(Canvas& canvas) override;

 private:
  TRdScrollBarEx* bar_;
};

}  // namespace nudgelet::ui
