#pragma once
// TRdFormSkin: turns a borderless form into a skinned window. It paints the
// form's background and the eight pictures of its frame, can round the
// window's corners, draw lines along its edges, lay a second translucent
// background over the content, and give the window a soft shadow drawn with
// alpha pictures in margins around the content where the desktop composes
// windows with alpha. Without composition the margins and their pictures move
// out of view and the content fills the window.

#include <functional>

#include "base/Rect.h"
#include "skin/Component.h"
#include "skin/Picture.h"
#include "skin/SkinClass.h"
#include "ui/Canvas.h"
#include "ui/OwnedComponent.h"

namespace nudgelet::ui {

class TForm;
struct UiContext;

enum class TFillStyle { fsDefault, fsStretch, fsTiled };

// The option objects tell their form skin about every change.
class TFormSkinOption : public skin::TPersistent {
 public:
  std::function<void()> onChange;

 protected:
  void Changed() {
    if (onChange) onChange();
  }
  template <class T>
  void Assign(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
  }
};

class TPicOption : public TFormSkinOption {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  int opacity = 255;
  int padLeft = 1, padTop = 1, padRight = 1, padBottom = 1;
  friend class TRdFormSkin;
};

class TEllipseSize : public TFormSkinOption {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);
  bool Empty() const { return width_ == 0 && height_ == 0; }

 private:
  int width_ = 0, height_ = 0;
};

class TBorderLines : public TFormSkinOption {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { Assign(enabled_, value); }
  bool Active() const { return enabled_ && width >= 1 && (left || right || top || bottom); }

  skin::Color color = 0xFF000006;  // clWindowFrame
  int width = 1;
  bool left = true, right = true, top = true, bottom = true;

 private:
  bool enabled_ = false;
};

class TShadowFrame : public TFormSkinOption {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { Assign(enabled_, value); }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Right() const { return right_; }
  int Bottom() const { return bottom_; }
  void SetMargins(int left, int top, int right, int bottom);
  int Width() const { return left_ + right_; }
  int Height() const { return top_ + bottom_; }
  // Margins as a rectangle: left, top, right, bottom.
  Rect Margins() const { return {left_, top_, right_, bottom_}; }

  // The desktop's answer, asked when the frame is made and whenever the
  // window hears that composition changed.
  bool composition = false;

 private:
  friend class TRdFormSkin;
  bool enabled_ = false;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

// What the form skin asks of its form's window; the Windows side implements
// it over the window, tests with a double.
class FormSkinWindow {
 public:
  virtual ~FormSkinWindow() = default;
  virtual bool CompositionEnabled() = 0;
  // Glass margins as left, top, right, bottom; all 0 turns the glass off.
  virtual void SetGlassFrame(const Rect& margins) = 0;
  // A window region with rounded corners over the given window size.
  virtual void SetRoundRegion(int width, int height, int ellipseWidth, int ellipseHeight) = 0;
  virtual bool Maximized() = 0;
  virtual void Repaint() = 0;
};

class TRdFormSkin : public skin::TComponent, public OwnedComponent {
 public:
  explicit TRdFormSkin(UiContext& ui);
  ~TRdFormSkin() override;
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // Loading completed on `owner`: the skin class applies and the form is set up.
  void Loaded(TControl& owner) override;
  TForm* OwnerForm() const { return form_; }
  void SetOwnerForm(TForm* form);
  // The form's window, once it exists (and nullptr before it goes).
  void AttachWindow(FormSkinWindow* window);

  skin::Color FormColor() const { return formColor_; }
  void SetFormColor(skin::Color color);
  TFillStyle FillStyle() const { return fillStyle_; }
  void SetFillStyle(TFillStyle style);
  skin::TRdSkinClass& AllSkin() { return allSkin_; }
  TPicOption& PicBackground2Option() { return background2Option_; }
  TEllipseSize& EllipseSize() { return ellipse_; }
  TBorderLines& BorderLines() { return borderLines_; }
  TShadowFrame& ShadowFrame() { return shadow_; }

  enum Picture { kTop, kTopLeft, kTopRight, kLeft, kRight, kBottom, kBottomLeft, kBottomRight, kBackground, kBackground2 };
  skin::TPicture& Pic(Picture which) { return pictures_[which]; }

  // The shadow shows: enabled, and the desktop composes with alpha.
  bool ShadowActive() const { return shadow_.enabled_ && shadow_.composition; }
  // The margins the shadow takes, all 0 while it does not show.
  Rect ActiveMargins() const { return ShadowActive() ? shadow_.Margins() : Rect{}; }

  // --- What the window wrapper decides ---
  // A point (screen coordinates) in the shadow margins of a form at
  // `formBounds` (screen) belongs to the windows below.
  bool PassesHitThrough(Point screen, const Rect& formBounds) const;
  // WM_GETMINMAXINFO: a maximised form drops its shadow until it is restored.
  void MinMaxInfo();
  // WM_SIZE, after the form handled it.
  void Sized();
  // Composition or non-client rendering changed.
  void CompositionChanged();

  void Paint(Canvas& canvas);

  // Told after the shadow was applied: whether it shows, and its margins.
  std::function<void(TRdFormSkin&, bool shadow, const Rect& margins)> onShadowChanged;

  // Whether some form skin of the process gave up its shadow for a maximised form.
  static bool ShadowSuspended();

 private:
  void Setup();
  void ApplyRegion();
  void ApplyShadow();
  void Invalidate();
  void ShadowChanged();
  void EllipseChanged();
  void BorderLinesChanged();
  void PaintPicture(Canvas& canvas, Picture which, const Rect& area);
  void PaintBackground(Canvas& canvas, const Rect& r);
  void PaintEdges(Canvas& canvas, const Rect& client, const Rect& outward);
  void PaintBackground2(Canvas& canvas, const Rect& client);
  void PaintBorderLines(Canvas& canvas, const Rect& client);

  UiContext& ui_;
  TForm* form_ = nullptr;
  FormSkinWindow* window_ = nullptr;
  skin::Color formColor_ = 0xFF000005;  // clWindow
  TFillStyle fillStyle_ = TFillStyle::fsDefault;
  skin::TPicture pictures_[10];
  TPicOption background2Option_;
  TEllipseSize ellipse_;
  TBorderLines borderLines_;
  TShadowFrame shadow_;
  skin::TRdSkinClass allSkin_;
  bool destroying_ = false;
};

}  // namespace nudgelet::ui
