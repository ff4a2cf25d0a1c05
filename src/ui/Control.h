#pragma once
// TControl: every control of the toolkit. Controls form a tree; a windowed
// control (TWinControl) has a window of its own, every other control draws on
// the window of its nearest windowed ancestor and gets its input from that
// window's root, which finds the control under the pointer. Coordinates are
// the parent's client coordinates for bounds and the control's own for
// painting and input.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Rect.h"
#include "skin/Component.h"
#include "skin/Font.h"
#include "ui/Canvas.h"
#include "ui/UiContext.h"

namespace nudgelet::ui {

class TControl;
class TWinControl;

enum class MouseButton { Left, Right, Middle };

// Shift state bits, as the toolkit's mouse and key events carry them.
inline constexpr unsigned kSsShift = 1, kSsAlt = 2, kSsCtrl = 4, kSsLeft = 8, kSsRight = 16, kSsMiddle = 32,
                          kSsDouble = 64;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// Cursors by their toolkit numbers.
inline constexpr int crDefault = 0, crArrow = -2, crHandPoint = -21, crSizeAll = -22;

using TNotifyEvent = std::function<void(skin::TPersistent& sender)>;
using TMouseEvent = std::function<void(TControl& sender, MouseButton button, unsigned shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl& sender, unsigned shift, int x, int y)>;
// May change the hint or forbid it.
using TShowHintEvent = std::function<void(TControl& sender, std::wstring& hint, bool& canShow)>;

const std::vector<std::wstring>& AlignNames();
const std::vector<std::wstring>& AlignmentNames();
const std::vector<std::wstring>& TextLayoutNames();

class TSizeConstraints : public skin::TPersistent {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;  // 0: no limit
  int ClampWidth(int w) const;
  int ClampHeight(int h) const;
  std::function<void()> onChange;
};

class TControl : public skin::TComponent {
 public:
  explicit TControl(UiContext& ui);
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  UiContext& Ui() const { return ui_; }

  // --- The tree ---
  TControl* Parent() const { return parent_; }
  // The child belongs to this control from now on.
  TControl& InsertControl(std::unique_ptr<TControl> child);
  template <class T>
  T& Insert(std::unique_ptr<T> child) {
    return static_cast<T&>(InsertControl(std::move(child)));
  }
  std::unique_ptr<TControl> RemoveControl(TControl& child);
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return children_; }
  // Components without a place on screen (timers) that live as long as this control.
  skin::TComponent& AddComponent(std::unique_ptr<skin::TComponent> component);
  // This control, a descendant or an owned component by name (case ignored).
  skin::TComponent* FindComponent(std::wstring_view name);

  virtual bool Windowed() const { return false; }
  // The window this control draws on: itself when windowed, else the nearest windowed ancestor.
  TWinControl* Window();
  // Where this control's (0,0) lies in its window's client area.
  Point PositionInWindow() const;

  // --- Geometry ---
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  // The size is kept within the constraints and never negative.
  virtual void SetBounds(int left, int top, int width, int height);
  Rect BoundsRect() const { return bounds_; }
  Rect ClientRect() const { return {0, 0, Width(), Height()}; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  unsigned Anchors() const { return anchors_; }
  void SetAnchors(unsigned anchors) { anchors_ = anchors; }
  TSizeConstraints& Constraints() { return constraints_; }
  const TSizeConstraints& Constraints() const { return constraints_; }

  // --- State ---
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible, and so are all its parents.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint) { hint_ = hint; }
  // ShowHint as it acts: the parent's when ParentShowHint is set.
  bool EffectiveShowHint() const;
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }
  skin::Color GetColor() const { return color_; }
  void SetColor(skin::Color color);
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor) { cursor_ = cursor; }
  // The control's font, when it has one.
  virtual skin::TRdFont* Font() { return nullptr; }
  const skin::TRdFont* Font() const { return const_cast<TControl*>(this)->Font(); }
  bool ParentFont() const;
  void SetParentFont(bool value);

  // --- Painting ---
  void Invalidate();
  void InvalidateRect(const Rect& local);
  virtual void Paint(Canvas& /*canvas*/) {}

  // --- Input, in the control's coordinates; the root calls these ---
  virtual void MouseDown(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseUp(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseMove(unsigned shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Click();
  virtual void DblClick();
  // True when the wheel was used.
  virtual bool MouseWheel(int delta, unsigned shift, int x, int y);
  virtual bool KeyDown(unsigned key, unsigned shift);
  // An Alt+key the window did not take; true when this control used it.
  virtual bool DialogChar(wchar_t /*key*/) { return false; }
  // Whether the point belongs to the control (a click mask may say no).
  virtual bool HitTest(int /*x*/, int /*y*/) { return true; }
  virtual int CursorAt(int /*x*/, int /*y*/) { return cursor_; }
  // The hint to show at the point; false shows none.
  virtual bool HintAt(int x, int y, std::wstring& hint);
  // The control keeps the mouse while a button is held on it.
  bool CapturesMouse() const { return capturesMouse_; }
  void SetCapturesMouse(bool value) { capturesMouse_ = value; }
  bool MouseInControl() const { return mouseInControl_; }

  // --- Loading from form text ---
  void BeginLoading() { State().loading = true; }
  // The last property has arrived.
  virtual void Loaded();
  bool Loading() const { return State().loading; }
  bool Destroying() const { return destroying_; }

  // Sets an event by name to a handler that takes the sender; false when the
  // control has no such event.
  virtual bool BindEvent(std::wstring_view event, const TNotifyEvent& handler);

  TNotifyEvent onClick, onDblClick, onMouseEnter, onMouseLeave, onResize;
  TMouseEvent onMouseDown, onMouseUp;
  TMouseMoveEvent onMouseMove;
  TShowHintEvent onShowHint;

  // The root's view of the pointer.
  void SetMouseInControl(bool value) { mouseInControl_ = value; }

 protected:
  virtual void Resized() {}
  virtual void Moved() {}
  virtual void EnabledChanged() { Invalidate(); }
  virtual void VisibleChanged() {}
  virtual void TextChanged() { Invalidate(); }
  virtual void FontChanged() {}
  virtual void ParentChanged() {}
  // Lays out the children that have an alignment or anchors.
  void AlignControls(int oldWidth, int oldHeight);
  // Connects the font's changes to FontChanged and follows the parent's font.
  void AdoptFont(skin::TRdFont& font);
  // Windowed controls do this first, while their root still exists.
  void DestroyChildren();

 private:
  void ForgetFromRoot();

  UiContext& ui_;
  TControl* parent_ = nullptr;
  std::vector<std::unique_ptr<TControl>> children_;
  std::vector<std::unique_ptr<skin::TComponent>> components_;
  Rect bounds_;
  TAlign align_ = TAlign::alNone;
  unsigned anchors_ = akLeft | akTop;
  TSizeConstraints constraints_;
  bool visible_ = true;
  bool enabled_ = true;
  std::wstring caption_;
  std::wstring hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  skin::Color color_ = 0xFF00000F;  // clBtnFace
  int cursor_ = crDefault;
  bool capturesMouse_ = true;
  bool mouseInControl_ = false;
  bool destroying_ = false;
  bool aligning_ = false;
};

}  // namespace nudgelet::ui
