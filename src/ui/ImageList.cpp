#include "ui/ImageList.h"

#include "skin/DrawWithMargins.h"

namespace nudgelet::ui {

int TImageList::Add(const Bitmap& picture) {
  if (picture.Width() == width_ && picture.Height() == height_) {
    images_.push_back(picture);
  } else {
    Bitmap scaled(width_, height_);
    if (!picture.Empty()) skin::DrawWithMargins(scaled, {0, 0, width_, height_}, picture, std::nullopt);
    images_.push_back(std::move(scaled));
  }
  return Count() - 1;
}

}  // namespace nudgelet::ui
