#include "skin/Picture.h"

namespace nudgelet::skin {

const ClassInfo& TPicture::ClassType() {
  // Nothing of a picture is published: every path that reaches into one names
  // its descriptor text.
  static const ClassInfo info(L"TPicture", nullptr);
  return info;
}

TRdgImage& TPicture::ReadDescriptor(PackageStore& store, const std::vector<std::wstring>& lines) {
  bitmap_.reset();
  if (!descriptor_) descriptor_ = std::make_unique<TRdgImage>(store);
  descriptor_->SetValues(lines, TRdgImage::ApplyMode::Redraw);
  Changed();
  return *descriptor_;
}

void TPicture::SetOtherGraphic(std::shared_ptr<const Bitmap> bitmap) {
  descriptor_.reset();
  bitmap_ = std::move(bitmap);
  Changed();
}

void TPicture::Clear() {
  if (Empty()) return;
  descriptor_.reset();
  bitmap_.reset();
  Changed();
}

void TPicture::Changed() {
  if (onChange) onChange();
}

}  // namespace nudgelet::skin
