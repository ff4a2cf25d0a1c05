#pragma once
// TRdGraphic: what every picture of the skin engine is to the controls that
// draw it, whether a decoded PNG or a descriptor naming one. Pictures that
// draw from another one attach to it, so that a change of the one they draw
// from reaches them.

#include <memory>
#include <optional>
#include <vector>

#include "skin/Bitmap.h"
#include "skin/NineSlice.h"

namespace nudgelet::skin {

// Opacities multiply, rounded down (a picture of 128 drawn at 128 is 64), so
// that a faded picture drawn faded never comes out stronger than either.
int MultiplyOpacity(int a, int b);

// The pixels a picture draws: the part of them in use, how opaque and how
// smoothly. Drawing with margins draws parts of this part.
struct PictureSource {
  std::shared_ptr<const Bitmap> pixels;
  Rect clip;
  int opacity = 255;
  SmoothFilter smooth = SmoothFilter::Default;
};

class TRdGraphic {
 public:
  TRdGraphic() = default;
  TRdGraphic(const TRdGraphic&) = delete;
  TRdGraphic& operator=(const TRdGraphic&) = delete;
  // Leaves the picture it is attached to and tells its own users it is gone.
  virtual ~TRdGraphic();

  virtual int Width() = 0;
  virtual int Height() = 0;
  bool Empty() { return Width() == 0 || Height() == 0; }
  // Draws into `to`; `opacity` (0..255) multiplies the picture's own.
  virtual void Draw(Bitmap& dst, const Rect& to, int opacity = 255) = 0;
  // What the picture draws; nullopt when it has nothing to draw.
  virtual std::optional<PictureSource> Source() = 0;

  // Attaches to `source` (nullptr: to nothing), leaving any earlier one.
  void AttachTo(TRdGraphic* source);
  TRdGraphic* Attached() const { return attached_; }
  const std::vector<TRdGraphic*>& Users() const { return users_; }

 protected:
  // Tells every picture attached to this one that it changed.
  void NotifyUsers();
  // The attached picture changed, or went away (Attached() is then nullptr).
  virtual void AttachedChanged() {}

 private:
  TRdGraphic* attached_ = nullptr;
  std::vector<TRdGraphic*> users_;
};

}  // namespace nudgelet::skin
