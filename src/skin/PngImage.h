#pragma once
// TPngImage: a decoded PNG standing on its own, with the opacity and smoothing
// it is drawn with by default. Pictures loaded from .png files, stored in forms
// as binary data, or cut out of a descriptor's PNG are of this kind.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "skin/RdGraphic.h"

namespace nudgelet::skin {

class TPngImage final : public TRdGraphic {
 public:
  TPngImage() = default;
  explicit TPngImage(Bitmap pixels, int opacity = 255, SmoothFilter smooth = SmoothFilter::Default);

  // Decodes PNG bytes; data that is no PNG leaves the picture empty and gives false.
  bool LoadFromPng(const std::vector<std::uint8_t>& data);
  std::vector<std::uint8_t> SaveToPng() const { return EncodePng(*pixels_); }

  const Bitmap& Pixels() const { return *pixels_; }
  int Opacity() const { return opacity_; }
  void SetOpacity(int opacity);
  SmoothFilter Smoothing() const { return smooth_; }
  void SetSmoothing(SmoothFilter smooth);

  int Width() override { return pixels_->Width(); }
  int Height() override { return pixels_->Height(); }
  void Draw(Bitmap& dst, const Rect& to, int opacity = 255) override;
  std::optional<PictureSource> Source() override;

 private:
  // Shared with whatever draws from Source(), and never changed in place:
  // new content is a new bitmap.
  std::shared_ptr<const Bitmap> pixels_ = std::make_shared<const Bitmap>();
  int opacity_ = 255;
  SmoothFilter smooth_ = SmoothFilter::Default;
};

}  // namespace nudgelet::skin
