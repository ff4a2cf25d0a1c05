#pragma once
// TPicture: a picture property's slot. It holds a descriptor picture (the
// usual case: a few lines naming a skin resource), a picture of another kind
// given by the form designer, or nothing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/Bitmap.h"
#include "skin/Published.h"
#include "skin/RdgImage.h"

namespace nudgelet::skin {

class TPicture : public TPersistent {
 public:
  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  bool Empty() const { return !descriptor_ && !bitmap_; }
  TRdgImage* Descriptor() const { return descriptor_.get(); }
  const std::shared_ptr<const Bitmap>& OtherGraphic() const { return bitmap_; }

  // Makes the slot a descriptor picture, reusing the one it holds, and
  // applies the lines to it.
  TRdgImage& ReadDescriptor(PackageStore& store, const std::vector<std::wstring>& lines);
  // A picture that is not a descriptor, such as a bitmap the designer chose.
  void SetOtherGraphic(std::shared_ptr<const Bitmap> bitmap);
  void Clear();

  // Told after every change of what the slot holds.
  std::function<void()> onChange;

 private:
  void Changed();

  std::unique_ptr<TRdgImage> descriptor_;
  std::shared_ptr<const Bitmap> bitmap_;
};

}  // namespace nudgelet::skin
