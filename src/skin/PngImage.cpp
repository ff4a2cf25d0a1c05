#include "skin/PngImage.h"

#include <algorithm>

namespace nudgelet::skin {

TPngImage::TPngImage(Bitmap pixels, int opacity, SmoothFilter smooth)
    : pixels_(std::make_shared<const Bitmap>(std::move(pixels))),
      opacity_(std::clamp(opacity, 0, 255)),
      smooth_(smooth) {}

bool TPngImage::LoadFromPng(const std::vector<std::uint8_t>& data) {
  auto decoded = DecodePng(data);
  pixels_ = std::make_shared<const Bitmap>(decoded ? std::move(*decoded) : Bitmap());
  NotifyUsers();
  return decoded.has_value();
}

void TPngImage::SetOpacity(int opacity) {
  opacity_ = std::clamp(opacity, 0, 255);
  NotifyUsers();
}

void TPngImage::SetSmoothing(SmoothFilter smooth) {
  smooth_ = smooth;
  NotifyUsers();
}

void TPngImage::Draw(Bitmap& dst, const Rect& to, int opacity) {
  DrawScaled(dst, to, *pixels_, {0, 0, pixels_->Width(), pixels_->Height()}, MultiplyOpacity(opacity, opacity_),
             smooth_);
}

std::optional<PictureSource> TPngImage::Source() {
  if (pixels_->Empty()) return std::nullopt;
  return PictureSource{pixels_, {0, 0, pixels_->Width(), pixels_->Height()}, opacity_, smooth_};
}

}  // namespace nudgelet::skin
