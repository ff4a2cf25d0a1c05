#pragma once
// TRdgImage: a skinned picture held as a few descriptor lines that name a PNG
// of the skin ("imgname=images/btn_close_normal.png") and say which part of it
// to draw ("imgrect"), how opaque ("imgalpha"), how smoothly ("imgsmooth") and
// which margins stay unscaled ("imgopt"). A key written with "!" locks its
// setting against later lines from skin classes or named pictures. The pixels
// come from the package store's shared pictures, so they follow the skin.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/Bitmap.h"
#include "skin/NineSlice.h"
#include "skin/PackageStore.h"
#include "skin/PngImage.h"
#include "skin/RdGraphic.h"

namespace nudgelet::skin {

// Lines of key=value with keys compared without regard to case.
std::optional<std::wstring> LineValue(const std::vector<std::wstring>& lines, std::wstring_view key);
void SetLineValue(std::vector<std::wstring>& lines, std::wstring_view key, std::wstring_view value);
// "a,b,c": numbers up to the next ","; a missing or bad number is 0.
std::vector<int> ParseNumbers(std::wstring_view text, std::size_t count);

class TRdgImage final : public TRdGraphic {
 public:
  enum class ApplyMode { Redraw = 0, KeepName = 1, NoRedraw = 2 };

  explicit TRdgImage(PackageStore& store) : store_(store) {}

  // Applies descriptor lines; nullopt clears the descriptor.
  void SetValues(const std::optional<std::vector<std::wstring>>& lines, ApplyMode mode = ApplyMode::Redraw);
  const std::vector<std::wstring>& Values() const { return values_; }
  // The lines stored form data writes for this descriptor.
  std::vector<std::wstring> ToLines();

  const std::wstring& ImgName() const { return imgName_; }
  void SetImgName(const std::wstring& name);
  Rect Clip() const { return clip_; }
  int AlphaBlendValue() const { return alpha_; }
  // A value other than -1 locks the opacity; -1 unlocks it.
  void SetAlphaBlendValue(int value);
  SmoothFilter Smoothing() const { return smooth_; }
  const TDesignRect& ImgOpt() const { return margins_; }
  // Margins set from outside (the form designer) lock them; nullopt unlocks
  // them and takes them from the named picture again.
  void SetImgOpt(const std::optional<TDesignRect>& margins);
  // The designer's "Empty" switch: false fills in margins of a third of the
  // picture's width and height, true clears them; either way they lock.
  void SetImgOptEmpty(bool empty);
  bool ClipLocked() const { return clipLocked_; }
  bool AlphaLocked() const { return alphaLocked_; }
  bool MarginsLocked() const { return marginsLocked_; }

  // Size of the part drawn (0 when the picture is missing).
  int Width() override;
  int Height() override;
  // Draws into `to` with the descriptor's margins; `opacity` multiplies the
  // picture's own.
  void Draw(Bitmap& dst, const Rect& to, int opacity = 255) override;
  // The resolved PNG's clipped part, with the opacity and smoothing in force.
  std::optional<PictureSource> Source() override;
  // A standalone copy of the part drawn, carrying the opacity and smoothing
  // in force; empty when the descriptor resolves to nothing.
  std::unique_ptr<TPngImage> ToPngImage();
  // The drawn part's pixel at (x, y) of the clip, premultiplied BGRA; nullopt
  // outside it or when the descriptor resolves to nothing.
  std::optional<std::uint32_t> Pixel(int x, int y);
  // The picture drawn at its own size at 0,0 of a transparent bitmap.
  Bitmap ToBitmap();

  // How many named pictures a descriptor may lead through before its PNG: the
  // names come from skin files, and a loop among them must end.
  static constexpr int kMaxNamedDepth = 8;

 private:
  struct Resolved {
    std::shared_ptr<SkinPicture> png;
    std::uint64_t generation = 0;
    // The attached picture's generation: a skin change may bring a picture
    // that was missing, or take one away.
    std::uint64_t attachedGeneration = 0;
    Rect clip;
    int alpha = 255;
    SmoothFilter smooth = SmoothFilter::Default;
  };

  void Changed();
  void Inherit(const std::vector<std::wstring>& named);
  const Resolved* Resolve();

  PackageStore& store_;
  std::vector<std::wstring> values_;
  std::wstring imgName_;
  Rect clip_;
  int alpha_ = -1;
  SmoothFilter smooth_ = SmoothFilter::Default;
  TDesignRect margins_;
  bool clipLocked_ = false;
  bool alphaLocked_ = false;
  bool marginsLocked_ = false;
  std::shared_ptr<SkinPicture> attached_;
  std::vector<std::wstring> attachedLines_;  // the named picture's lines when one is attached
  std::optional<Resolved> resolved_;
};

}  // namespace nudgelet::skin
