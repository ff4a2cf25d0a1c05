#include "skin/Picture.h"

namespace nudgelet::skin {

const ClassInfo& TPicture::ClassType() {
  // Nothing of a picture is published: every path that reaches into one names
  // its descriptor text.
  static const ClassInfo info(L"TPicture", nullptr);
  return info;
}

TRdgImage& TPicture::ReadDescriptor(PackageStore& store, const std::vector<std::wstring>& lines) {
  TRdgImage* descriptor = Descriptor();
  if (!descriptor) {
    auto made = std::make_unique<TRdgImage>(store);
    descriptor = made.get();
    graphic_ = std::move(made);
  }
  descriptor->SetValues(lines, TRdgImage::ApplyMode::Redraw);
  Changed();
  return *descriptor;
}

void TPicture::SetGraphic(std::unique_ptr<TRdGraphic> graphic) {
  graphic_ = std::move(graphic);
  Changed();
}

void TPicture::Clear() {
  if (Empty()) return;
  graphic_.reset();
  Changed();
}

void TPicture::Changed() {
  if (onChange) onChange();
}

}  // namespace nudgelet::skin
