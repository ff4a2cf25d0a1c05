#pragma once
// A list of same-sized pictures addressed by index: the list's icons.

#include <vector>

#include "base/Bitmap.h"

namespace nudgelet::ui {

class TImageList {
 public:
  TImageList(int width = 32, int height = 32) : width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }
  // Adds a picture (scaled to the list's size when it has another) and answers its index.
  int Add(const Bitmap& picture);
  const Bitmap* At(int index) const {
    return index >= 0 && index < Count() ? &images_[static_cast<std::size_t>(index)] : nullptr;
  }
  void Clear() { images_.clear(); }

 private:
  int width_, height_;
  std::vector<Bitmap> images_;
};

}  // namespace nudgelet::ui
