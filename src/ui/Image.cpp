#include "ui/Image.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TImage::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TImage", &TControl::ClassType());
    Publisher<TImage> p(c);
    p.Picture(L"Picture", [](TImage& o) { return &o.picture_; });
    p.Boolean(
        L"Stretch", [](const TImage& o) { return o.stretch_; }, [](TImage& o, bool v) { o.SetStretch(v); });
    p.Boolean(
        L"Center", [](const TImage& o) { return o.center_; }, [](TImage& o, bool v) { o.SetCenter(v); });
    return c;
  }();
  return info;
}

TImage::TImage(UiContext& ui) : TControl(ui) {
  SetBounds(0, 0, 105, 105);
  picture_.onChange = [this] { Invalidate(); };
}

void TImage::SetStretch(bool value) {
  if (stretch_ == value) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  if (center_ == value) return;
  center_ = value;
  Invalidate();
}

void TImage::Paint(Canvas& canvas) {
  skin::TRdGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  if (stretch_) {
    canvas.DrawPicture(*graphic, ClientRect(), std::nullopt);
    return;
  }
  const int w = graphic->Width(), h = graphic->Height();
  const int x = center_ ? (Width() - w) / 2 : 0, y = center_ ? (Height() - h) / 2 : 0;
  canvas.DrawPicture(*graphic, {x, y, x + w, y + h}, std::nullopt);
}

}  // namespace nudgelet::ui
