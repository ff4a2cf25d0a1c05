#include "ui/FormSkin.h"

#include <algorithm>

#include "ui/Panel.h"
#include "ui/UiContext.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {

// Process-wide, as the window procedure wrappers of all form skins share them.
bool shadowSuspended = false;
int lastWidth = -1, lastHeight = -1;

Rect Shrink(const Rect& r, int left, int top, int right, int bottom) {
  return {r.left + left, r.top + top, r.right - right, r.bottom - bottom};
}

// The part of the canvas's bitmap it reaches, in its own coordinates; nothing
// when it only measures.
Rect Drawable(const Canvas& canvas) {
  const Bitmap* target = canvas.Target();
  if (!target) return {};
  return Offset({0, 0, target->Width(), target->Height()}, -canvas.Origin().x, -canvas.Origin().y);
}

}  // namespace

// --- Option objects ---

const ClassInfo& TPicOption::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TPicOption", nullptr);
    Publisher<TPicOption> p(c);
    p.Integer(
        L"Opacity", [](const TPicOption& o) { return o.opacity; },
        [](TPicOption& o, std::int64_t v) { o.Assign(o.opacity, static_cast<int>(std::clamp<std::int64_t>(v, 0, 255))); },
        255);
    p.Integer(
        L"PadLeft", [](const TPicOption& o) { return o.padLeft; },
        [](TPicOption& o, std::int64_t v) { o.Assign(o.padLeft, int(v)); }, 1);
    p.Integer(
        L"PadTop", [](const TPicOption& o) { return o.padTop; },
        [](TPicOption& o, std::int64_t v) { o.Assign(o.padTop, int(v)); }, 1);
    p.Integer(
        L"PadRight", [](const TPicOption& o) { return o.padRight; },
        [](TPicOption& o, std::int64_t v) { o.Assign(o.padRight, int(v)); }, 1);
    p.Integer(
        L"PadBottom", [](const TPicOption& o) { return o.padBottom; },
        [](TPicOption& o, std::int64_t v) { o.Assign(o.padBottom, int(v)); }, 1);
    return c;
  }();
  return info;
}

const ClassInfo& TEllipseSize::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TEllipseSize", nullptr);
    Publisher<TEllipseSize> p(c);
    p.Integer(
        L"Width", [](const TEllipseSize& o) { return o.width_; },
        [](TEllipseSize& o, std::int64_t v) { o.SetSize(int(v), o.height_); }, 0);
    p.Integer(
        L"Height", [](const TEllipseSize& o) { return o.height_; },
        [](TEllipseSize& o, std::int64_t v) { o.SetSize(o.width_, int(v)); }, 0);
    return c;
  }();
  return info;
}

void TEllipseSize::SetSize(int width, int height) {
  if (width_ == width && height_ == height) return;
  width_ = width;
  height_ = height;
  Changed();
}

const ClassInfo& TBorderLines::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TBorderLines", nullptr);
    Publisher<TBorderLines> p(c);
    p.Boolean(
        L"Enabled", [](const TBorderLines& o) { return o.enabled_; },
        [](TBorderLines& o, bool v) { o.SetEnabled(v); });
    p.Color(
        L"Color", [](const TBorderLines& o) { return o.color; },
        [](TBorderLines& o, std::int64_t v) { o.Assign(o.color, static_cast<skin::Color>(v)); }, 0xFF000006);
    p.Integer(
        L"Width", [](const TBorderLines& o) { return o.width; },
        [](TBorderLines& o, std::int64_t v) { o.Assign(o.width, int(v)); }, 1);
    p.Boolean(
        L"Left", [](const TBorderLines& o) { return o.left; }, [](TBorderLines& o, bool v) { o.Assign(o.left, v); },
        true);
    p.Boolean(
        L"Right", [](const TBorderLines& o) { return o.right; }, [](TBorderLines& o, bool v) { o.Assign(o.right, v); },
        true);
    p.Boolean(
        L"Top", [](const TBorderLines& o) { return o.top; }, [](TBorderLines& o, bool v) { o.Assign(o.top, v); }, true);
    p.Boolean(
        L"Bottom", [](const TBorderLines& o) { return o.bottom; },
        [](TBorderLines& o, bool v) { o.Assign(o.bottom, v); }, true);
    return c;
  }();
  return info;
}

const ClassInfo& TShadowFrame::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TShadowFrame", nullptr);
    Publisher<TShadowFrame> p(c);
    p.Boolean(
        L"Enabled", [](const TShadowFrame& o) { return o.enabled_; },
        [](TShadowFrame& o, bool v) { o.SetEnabled(v); });
    p.Integer(
        L"Left", [](const TShadowFrame& o) { return o.left_; },
        [](TShadowFrame& o, std::int64_t v) { o.SetMargins(int(v), o.top_, o.right_, o.bottom_); }, 0);
    p.Integer(
        L"Right", [](const TShadowFrame& o) { return o.right_; },
        [](TShadowFrame& o, std::int64_t v) { o.SetMargins(o.left_, o.top_, int(v), o.bottom_); }, 0);
    p.Integer(
        L"Top", [](const TShadowFrame& o) { return o.top_; },
        [](TShadowFrame& o, std::int64_t v) { o.SetMargins(o.left_, int(v), o.right_, o.bottom_); }, 0);
    p.Integer(
        L"Bottom", [](const TShadowFrame& o) { return o.bottom_; },
        [](TShadowFrame& o, std::int64_t v) { o.SetMargins(o.left_, o.top_, o.right_, int(v)); }, 0);
    return c;
  }();
  return info;
}

void TShadowFrame::SetMargins(int left, int top, int right, int bottom) {
  if (left_ == left && top_ == top && right_ == right && bottom_ == bottom) return;
  left_ = left, top_ = top, right_ = right, bottom_ = bottom;
  Changed();
}

// --- The form skin ---

const ClassInfo& TRdFormSkin::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdFormSkin", nullptr);
    using S = TRdFormSkin;
    Publisher<S> p(c);
    p.Color(
        L"FormColor", [](const S& o) { return o.formColor_; },
        [](S& o, std::int64_t v) { o.SetFormColor(static_cast<skin::Color>(v)); }, 0xFF000005);
    p.Enumeration(
        L"FillStyle", {L"fsDefault", L"fsStretch", L"fsTiled"}, [](const S& o) { return static_cast<int>(o.fillStyle_); },
        [](S& o, std::int64_t v) { o.SetFillStyle(static_cast<TFillStyle>(v)); }, 0);
    static const wchar_t* const kNames[] = {L"PicTop",    L"PicTopLeft",    L"PicTopRight",    L"PicLeft",
                                            L"PicRight",  L"PicBottom",     L"PicBottomLeft",  L"PicBottomRight",
                                            L"PicBackground", L"PicBackground2"};
    for (int i = 0; i < 10; ++i) p.Picture(kNames[i], [i](S& o) { return &o.pictures_[i]; });
    p.Object(L"PicBackground2Option", [](S& o) { return &o.background2Option_; });
    p.Object(L"EllipseSize", [](S& o) { return &o.ellipse_; });
    p.Object(L"BorderLines", [](S& o) { return &o.borderLines_; });
    p.Object(L"ShadowFrame", [](S& o) { return &o.shadow_; });
    p.Object(L"AllSkin", [](S& o) { return &o.allSkin_; });
    return c;
  }();
  return info;
}

TRdFormSkin::TRdFormSkin(UiContext& ui) : ui_(ui), allSkin_(ui.skins, this) {
  for (auto& picture : pictures_) picture.onChange = [this] { Invalidate(); };
  background2Option_.onChange = [this] { Invalidate(); };
  ellipse_.onChange = [this] { EllipseChanged(); };
  borderLines_.onChange = [this] { BorderLinesChanged(); };
  shadow_.onChange = [this] { ShadowChanged(); };
}

TRdFormSkin::~TRdFormSkin() {
  destroying_ = true;
  SetOwnerForm(nullptr);
}

bool TRdFormSkin::ShadowSuspended() { return shadowSuspended; }

void TRdFormSkin::Loaded(TControl& owner) {
  State().loading = false;
  allSkin_.Apply(true);
  if (!form_) SetOwnerForm(dynamic_cast<TForm*>(&owner));
}

void TRdFormSkin::SetOwnerForm(TForm* form) {
  if (form_ == form) return;
  if (form_) form_->onPaint = nullptr;
  form_ = form;
  if (form_) {
    form_->onPaint = [this](Canvas& canvas) { Paint(canvas); };
    Setup();
  }
}

void TRdFormSkin::AttachWindow(FormSkinWindow* window) {
  window_ = window;
  if (!window_) return;
  shadow_.composition = window_->CompositionEnabled();
  if (!ellipse_.Empty()) ApplyRegion();
  ApplyShadow();
}

void TRdFormSkin::Setup() {
  if (State().loading || destroying_ || !form_) return;
  // Borderless, painted in the skin's colour; the frame pictures take the border's place.
  form_->SetBorderStyle(TFormBorderStyle::bsNone);
  form_->SetColor(formColor_);
  if (!ellipse_.Empty()) ApplyRegion();
  ApplyShadow();
}

void TRdFormSkin::SetFormColor(skin::Color color) {
  if (formColor_ == color) return;
  formColor_ = color;
  if (form_ && !State().loading) form_->SetColor(color);
  Invalidate();
}

void TRdFormSkin::SetFillStyle(TFillStyle style) {
  if (fillStyle_ == style) return;
  fillStyle_ = style;
  Invalidate();
}

void TRdFormSkin::Invalidate() {
  if (form_) form_->Invalidate();
}

// The last of the three exclusive settings to change wins.
void TRdFormSkin::ShadowChanged() {
  if (shadow_.enabled_) {
    borderLines_.SetEnabled(false);
    ellipse_.SetSize(0, 0);
  }
  ApplyShadow();
}

void TRdFormSkin::EllipseChanged() {
  if (!ellipse_.Empty()) shadow_.SetEnabled(false);
  ApplyRegion();
  Invalidate();
}

void TRdFormSkin::BorderLinesChanged() {
  if (borderLines_.Active()) shadow_.SetEnabled(false);
  Invalidate();
}

void TRdFormSkin::ApplyRegion() {
  if (!window_ || !form_) return;
  const bool maximized = window_->Maximized();
  window_->SetRoundRegion(form_->Width() + 1, form_->Height() + 1, maximized ? 0 : ellipse_.Width(),
                          maximized ? 0 : ellipse_.Height());
}

void TRdFormSkin::ApplyShadow() {
  if (State().loading || destroying_ || !form_) return;
  const Rect margins = ActiveMargins();
  if (window_) window_->SetGlassFrame(margins);
  Invalidate();
  if (onShadowChanged) {
    onShadowChanged(*this, ShadowActive(), margins);
    if (window_) window_->Repaint();
  }
}

bool TRdFormSkin::PassesHitThrough(Point screen, const Rect& formBounds) const {
  if (!ShadowActive()) return false;
  const Rect content = Shrink(formBounds, shadow_.left_, shadow_.top_, shadow_.right_, shadow_.bottom_);
  return Contains(formBounds, screen) && !Contains(content, screen);
}

void TRdFormSkin::MinMaxInfo() {
  if (!window_ || !window_->Maximized() || !ShadowActive()) return;
  shadow_.SetEnabled(false);
  shadowSuspended = true;
}

void TRdFormSkin::Sized() {
  if (!form_) return;
  if (form_->Visible() && (form_->Width() != lastWidth || form_->Height() != lastHeight)) {
    lastWidth = form_->Width();
    lastHeight = form_->Height();
    if (!ellipse_.Empty()) ApplyRegion();
    Invalidate();
    ApplyShadow();
  }
  if (shadowSuspended && window_ && !window_->Maximized()) {
    shadowSuspended = false;
    shadow_.SetEnabled(true);
  }
}

void TRdFormSkin::CompositionChanged() {
  if (window_) shadow_.composition = window_->CompositionEnabled();
  ApplyShadow();
}

// --- Painting ---

void TRdFormSkin::PaintPicture(Canvas& canvas, Picture which, const Rect& area) {
  skin::TRdGraphic* g = pictures_[which].Graphic();
  if (!g || g->Empty() || area.Empty()) return;
  if (fillStyle_ != TFillStyle::fsTiled) {
    canvas.DrawPicture(*g, area, std::nullopt);
    return;
  }
  // Whole tiles from the top left; the last column and row may reach past the
  // area. Only the tiles that show are drawn: a skin may make the area huge.
  const int w = g->Width(), h = g->Height();
  if (w <= 0 || h <= 0) return;
  const Rect shown = Intersect(area, Drawable(canvas));
  if (shown.Empty()) return;
  for (int y = area.top + (shown.top - area.top) / h * h; y < shown.bottom; y += h)
    for (int x = area.left + (shown.left - area.left) / w * w; x < shown.right; x += w)
      canvas.DrawPicture(*g, {x, y, x + w, y + h}, std::nullopt);
}

void TRdFormSkin::PaintBackground(Canvas& canvas, const Rect& r) {
  if (r.Empty()) return;
  canvas.FillRect(r, formColor_);
  skin::TRdGraphic* g = pictures_[kBackground].Graphic();
  if (!g || g->Empty()) return;
  if (fillStyle_ == TFillStyle::fsDefault) {
    canvas.DrawPicture(*g, {r.left, r.top, r.left + g->Width(), r.top + g->Height()}, std::nullopt);
  } else {
    PaintPicture(canvas, kBackground, r);
  }
}

void TRdFormSkin::Paint(Canvas& canvas) {
  if (State().loading || destroying_ || !form_) return;
  const Rect c = form_->ClientRect();
  const Rect m = ActiveMargins();

  PaintBackground(canvas, Shrink(c, m.left, m.top, m.right, m.bottom));

  // Without the shadow the frame pictures move out by the margins, out of view.
  const Rect out = ShadowActive() ? Rect{} : shadow_.Margins();
  PaintEdges(canvas, c, out);
  PaintBackground2(canvas, c);
  PaintBorderLines(canvas, c);
}

void TRdFormSkin::PaintEdges(Canvas& canvas, const Rect& c, const Rect& out) {
  auto width = [this](Picture which) {
    skin::TRdGraphic* g = pictures_[which].Graphic();
    return g && !g->Empty() ? g->Width() : 0;
  };
  auto height = [this](Picture which) {
    skin::TRdGraphic* g = pictures_[which].Graphic();
    return g && !g->Empty() ? g->Height() : 0;
  };
  const int tlW = width(kTopLeft), tlH = height(kTopLeft), trW = width(kTopRight), trH = height(kTopRight);
  const int blW = width(kBottomLeft), blH = height(kBottomLeft), brW = width(kBottomRight), brH = height(kBottomRight);
  const int lW = width(kLeft), rW = width(kRight), tH = height(kTop), bH = height(kBottom);
  // Coordinates from the left and top edges move by -margin, from the right
  // and bottom edges by +margin.
  const int L = -out.left, T = -out.top, R = c.right + out.right, B = c.bottom + out.bottom;

  PaintPicture(canvas, kTop, {tlW + L, T, R - trW, T + tH});
  PaintPicture(canvas, kLeft, {L, tlH + T, L + lW, B - blH});
  // The inner rectangle takes the background again, over whatever the edges left.
  PaintBackground(canvas, {L + lW, T + tH, R - rW, B - bH});
  PaintPicture(canvas, kBottom, {blW + L, B - bH, R - brW, B});
  PaintPicture(canvas, kRight, {R - rW, trH + T, R, B - brH});

  auto corner = [&](Picture which, int x, int y, int w, int h) {
    skin::TRdGraphic* g = pictures_[which].Graphic();
    if (g && !g->Empty()) canvas.DrawPicture(*g, {x, y, x + w, y + h}, std::nullopt);
  };
  corner(kTopLeft, L, T, tlW, tlH);
  corner(kTopRight, R - trW, T, trW, trH);
  corner(kBottomLeft, L, B - blH, blW, blH);
  corner(kBottomRight, R - brW, B - brH, brW, brH);
}

void TRdFormSkin::PaintBackground2(Canvas& canvas, const Rect& c) {
  skin::TRdGraphic* g = pictures_[kBackground2].Graphic();
  if (!g || g->Empty()) return;
  const TPicOption& o = background2Option_;
  const Rect m = ActiveMargins();
  const Rect r = Shrink(c, o.padLeft + m.left, o.padTop + m.top, o.padRight + m.right, o.padBottom + m.bottom);
  // The layer holds only what shows; the picture keeps its place in r.
  const Rect shown = Intersect(r, Drawable(canvas));
  if (shown.Empty()) return;
  Bitmap layer(shown.Width(), shown.Height());
  Canvas off(&layer, {r.left - shown.left, r.top - shown.top}, canvas.Colors(), ui_.text);
  if (fillStyle_ == TFillStyle::fsTiled) {
    const int w = std::max(1, g->Width()), h = std::max(1, g->Height());
    const Rect inR = Offset(shown, -r.left, -r.top);
    for (int y = inR.top / h * h; y < inR.bottom; y += h)
      for (int x = inR.left / w * w; x < inR.right; x += w)
        off.DrawPicture(*g, {x, y, x + g->Width(), y + g->Height()}, std::nullopt);
  } else {
    off.DrawPicture(*g, {0, 0, r.Width(), r.Height()}, std::nullopt);
  }
  // Blended with one constant alpha: the layer's own alpha does not count.
  for (int y = 0; y < layer.Height(); ++y)
    for (int x = 0; x < layer.Width(); ++x) layer.At(x, y) |= 0xFF000000u;
  canvas.DrawBitmap(layer, shown, o.opacity);
}

void TRdFormSkin::PaintBorderLines(Canvas& canvas, const Rect& c) {
  const TBorderLines& b = borderLines_;
  if (!b.Active()) return;
  const int w = b.width;
  // GDI centres its pen on a rectangle shrunk by half the width; the outline
  // thus lies inside the client rectangle, as this frame draws it.
  Rect r = c;
  const int ex = ellipse_.Empty() ? 0 : ellipse_.Width() / 2, ey = ellipse_.Empty() ? 0 : ellipse_.Height() / 2;
  if (!b.left) r.left -= w + ex;
  if (!b.top) r.top -= w + ey;
  if (!b.right) r.right += w + ex;
  if (!b.bottom) r.bottom += w + ey;
  if (ellipse_.Empty()) {
    canvas.FrameRect(r, b.color, w);
  } else {
    canvas.FrameRoundRect(r, ellipse_.Width(), ellipse_.Height(), b.color, w);
  }
}

}  // namespace nudgelet::ui
