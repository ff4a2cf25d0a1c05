#include "skin/SkinPicture.h"

namespace nudgelet::skin {

bool SkinPicture::Empty() const {
  std::lock_guard lock(mutex_);
  return kind_ == Kind::Png ? data_.empty() : lines_.empty();
}

std::vector<std::uint8_t> SkinPicture::Data() const {
  std::lock_guard lock(mutex_);
  return data_;
}

std::vector<std::wstring> SkinPicture::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::shared_ptr<const Bitmap> SkinPicture::Image() const {
  std::lock_guard lock(mutex_);
  if (!image_) {
    auto decoded = kind_ == Kind::Png ? DecodePng(data_) : std::nullopt;
    image_ = std::make_shared<const Bitmap>(decoded ? std::move(*decoded) : Bitmap());
  }
  return image_;
}

std::uint64_t SkinPicture::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void SkinPicture::SetOnChange(std::function<void(const SkinPicture&)> onChange) {
  std::lock_guard lock(mutex_);
  onChange_ = std::move(onChange);
}

void SkinPicture::ReplaceData(std::vector<std::uint8_t> data) {
  {
    std::lock_guard lock(mutex_);
    data_ = std::move(data);
    image_.reset();
    ++generation_;
  }
  Changed();
}

void SkinPicture::ReplaceLines(std::vector<std::wstring> lines) {
  {
    std::lock_guard lock(mutex_);
    lines_ = std::move(lines);
    ++generation_;
  }
  Changed();
}

void SkinPicture::Changed() {
  std::function<void(const SkinPicture&)> onChange;
  {
    std::lock_guard lock(mutex_);
    onChange = onChange_;
  }
  if (onChange) onChange(*this);
}

}  // namespace nudgelet::skin
