#pragma once
// A picture of the picture cache: one shared object per resource name, alive
// until the store goes. When the skin changes its content is replaced in
// place, so every control holding it shows the new skin without being told
// more than that the generation moved on.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "skin/Bitmap.h"

namespace nudgelet::skin {

class SkinPicture {
 public:
  enum class Kind {
    Png,    // a PNG resource of the skin
    Named,  // "[section]": the descriptor lines of an image section
  };

  SkinPicture(std::wstring name, Kind kind) : name_(std::move(name)), kind_(kind) {}

  const std::wstring& Name() const { return name_; }
  Kind GetKind() const { return kind_; }

  bool Empty() const;
  // The PNG file's bytes (Png pictures).
  std::vector<std::uint8_t> Data() const;
  // The section's descriptor lines (Named pictures).
  std::vector<std::wstring> Lines() const;
  // The PNG decoded, once per content; an empty bitmap when the data is no PNG.
  std::shared_ptr<const Bitmap> Image() const;
  // Moves on with every replacement of the content.
  std::uint64_t Generation() const;

  // Called after every replacement, outside the picture's lock.
  void SetOnChange(std::function<void(const SkinPicture&)> onChange);

  // The package store's side.
  void ReplaceData(std::vector<std::uint8_t> data);
  void ReplaceLines(std::vector<std::wstring> lines);

 private:
  void Changed();

  const std::wstring name_;
  const Kind kind_;
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> data_;
  std::vector<std::wstring> lines_;
  std::uint64_t generation_ = 0;
  mutable std::shared_ptr<const Bitmap> image_;
  std::function<void(const SkinPicture&)> onChange_;
};

}  // namespace nudgelet::skin
