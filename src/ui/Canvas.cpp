#include "ui/Canvas.h"

#include <algorithm>

#include "skin/DrawWithMargins.h"

namespace nudgelet::ui {

Rect Offset(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return r.Empty() ? Rect{} : r;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

Rect Inflate(const Rect& r, int dx, int dy) { return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy}; }

std::uint32_t PixelOf(skin::Color rgb) {
  return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

Canvas::Canvas(Bitmap* target, Point origin, const skin::ColorTable& colors, TextRenderer& text)
    : target_(target),
      origin_(origin),
      clip_(target ? Rect{0, 0, target->Width(), target->Height()} : Rect{}),
      colors_(colors),
      text_(text) {}

Canvas Canvas::Child(const Rect& bounds) const {
  Canvas child = *this;
  child.origin_ = {origin_.x + bounds.left, origin_.y + bounds.top};
  child.clip_ = Intersect(clip_, Offset(bounds, origin_.x, origin_.y));
  return child;
}

void Canvas::ClipTo(const Rect& local) { clip_ = Intersect(clip_, Offset(local, origin_.x, origin_.y)); }

skin::Color Canvas::Resolve(skin::Color color) const { return colors_.ColorToRGB(color) & 0x00FFFFFF; }

void Canvas::FillRect(const Rect& r, skin::Color color) {
  if (!target_ || color == skin::kClNone) return;
  const Rect to = Intersect(Offset(r, origin_.x, origin_.y), clip_);
  const std::uint32_t pixel = PixelOf(Resolve(color));
  for (int y = to.top; y < to.bottom; ++y) std::fill_n(&target_->At(to.left, y), to.Width(), pixel);
}

void Canvas::FrameRect(const Rect& r, skin::Color color, int width) {
  if (r.Empty() || width <= 0) return;
  const int w = std::min({width, r.Width(), r.Height()});
  FillRect({r.left, r.top, r.right, r.top + w}, color);
  FillRect({r.left, r.bottom - w, r.right, r.bottom}, color);
  FillRect({r.left, r.top + w, r.left + w, r.bottom - w}, color);
  FillRect({r.right - w, r.top + w, r.right, r.bottom - w}, color);
}

namespace {

// Coverage of a pixel by an ellipse, from a 4 x 4 grid of samples, so curved
// shapes are smooth without a rasteriser.
int EllipseCoverage(double cx, double cy, double rx, double ry, int x, int y) {
  if (rx <= 0 || ry <= 0) return 0;
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      const double dx = (x + (sx + 0.5) / 4 - cx) / rx;
      const double dy = (y + (sy + 0.5) / 4 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) ++inside;
    }
  }
  return inside * 255 / 16;
}

}  // namespace

void Canvas::FillEllipse(const Rect& r, skin::Color color) { FrameEllipse(r, color, 1 << 20); }

void Canvas::FrameEllipse(const Rect& r, skin::Color color, int width) {
  if (!target_ || color == skin::kClNone || r.Empty()) return;
  const Rect at = Offset(r, origin_.x, origin_.y);
  const Rect to = Intersect(at, clip_);
  const std::uint32_t pixel = PixelOf(Resolve(color));
  const double cx = (at.left + at.right) / 2.0, cy = (at.top + at.bottom) / 2.0;
  const double rx = at.Width() / 2.0, ry = at.Height() / 2.0;
  for (int y = to.top; y < to.bottom; ++y) {
    for (int x = to.left; x < to.right; ++x) {
      const int outer = EllipseCoverage(cx, cy, rx, ry, x, y);
      const int inner = EllipseCoverage(cx, cy, rx - width, ry - width, x, y);
      const int cover = std::max(0, outer - inner);
      if (cover) target_->At(x, y) = BlendOver(target_->At(x, y), pixel, cover);
    }
  }
}

void Canvas::FrameRoundRect(const Rect& r, int ellipseWidth, int ellipseHeight, skin::Color color, int width) {
  const int ew = std::clamp(ellipseWidth, 0, r.Width()), eh = std::clamp(ellipseHeight, 0, r.Height());
  if (ew == 0 || eh == 0) {
    FrameRect(r, color, width);
    return;
  }
  const int hw = ew / 2, hh = eh / 2;
  FillRect({r.left + hw, r.top, r.right - hw, r.top + width}, color);
  FillRect({r.left + hw, r.bottom - width, r.right - hw, r.bottom}, color);
  FillRect({r.left, r.top + hh, r.left + width, r.bottom - hh}, color);
  FillRect({r.right - width, r.top + hh, r.right, r.bottom - hh}, color);
  // Each corner is a quarter of the ellipse, drawn through a clip of its own.
  const Rect corners[] = {{r.left, r.top, r.left + hw, r.top + hh},
                          {r.right - hw, r.top, r.right, r.top + hh},
                          {r.left, r.bottom - hh, r.left + hw, r.bottom},
                          {r.right - hw, r.bottom - hh, r.right, r.bottom}};
  const Rect ellipses[] = {{r.left, r.top, r.left + ew, r.top + eh},
                           {r.right - ew, r.top, r.right, r.top + eh},
                           {r.left, r.bottom - eh, r.left + ew, r.bottom},
                           {r.right - ew, r.bottom - eh, r.right, r.bottom}};
  for (int i = 0; i < 4; ++i) {
    Canvas corner = *this;
    corner.ClipTo(corners[i]);
    corner.FrameEllipse(ellipses[i], color, width);
  }
}

void Canvas::DrawPicture(skin::TRdGraphic& picture, const Rect& to, const std::optional<skin::TDesignRect>& margins,
                         int opacity) {
  if (!target_ || to.Empty()) return;
  Clipped(Offset(to, origin_.x, origin_.y),
          [&](Bitmap& dst, const Rect& at) { skin::DrawWithMargins(dst, at, picture, margins, opacity); });
}

void Canvas::DrawBitmap(const Bitmap& bitmap, const Rect& to, int opacity) {
  if (!target_ || to.Empty() || bitmap.Empty()) return;
  Clipped(Offset(to, origin_.x, origin_.y),
          [&](Bitmap& dst, const Rect& at) { skin::DrawWithMargins(dst, at, bitmap, std::nullopt, opacity); });
}

void Canvas::Clipped(const Rect& to, const std::function<void(Bitmap&, const Rect&)>& draw) {
  const Rect visible = Intersect(to, clip_);
  if (visible.Empty()) return;
  if (visible == to || Intersect(to, {0, 0, target_->Width(), target_->Height()}) == visible) {
    draw(*target_, to);
    return;
  }
  // Drawn whole on a piece of the target, then only the visible part goes back.
  Bitmap piece(visible.Width(), visible.Height());
  for (int y = 0; y < piece.Height(); ++y)
    std::copy_n(&target_->At(visible.left, visible.top + y), piece.Width(), &piece.At(0, y));
  draw(piece, Offset(to, -visible.left, -visible.top));
  for (int y = 0; y < piece.Height(); ++y)
    std::copy_n(&piece.At(0, y), piece.Width(), &target_->At(visible.left, visible.top + y));
}

void Canvas::DrawDashedFrame(const Rect& r, skin::Color color) {
  if (!target_ || r.Empty()) return;
  const std::uint32_t pixel = PixelOf(Resolve(color));
  auto dot = [&](int x, int y) {
    x += origin_.x;
    y += origin_.y;
    if (Contains(clip_, {x, y}) && ((x + y) / 2) % 2 == 0) target_->At(x, y) = pixel;
  };
  for (int x = r.left; x < r.right; ++x) dot(x, r.top), dot(x, r.bottom - 1);
  for (int y = r.top; y < r.bottom; ++y) dot(r.left, y), dot(r.right - 1, y);
}

void Canvas::SelectFont(const skin::TFont& font) {
  if (const auto* rd = dynamic_cast<const skin::TRdFont*>(&font)) {
    style_.font = rd->Describe();
  } else {
    style_.font = {font.Height(), font.Name(), font.Style(), font.Charset(), 0};
  }
  style_.rgb = Resolve(font.GetColor());
}

int Canvas::DrawString(std::wstring_view text, Rect& rect, unsigned flags) {
  Rect at = Offset(rect, origin_.x, origin_.y);
  const Rect clip = clip_;
  const bool calc = (flags & kDtCalcRect) != 0;
  const int height = text_.DrawString(calc ? nullptr : target_, clip, style_, text, at, flags);
  rect = Offset(at, -origin_.x, -origin_.y);
  return height;
}

}  // namespace nudgelet::ui
