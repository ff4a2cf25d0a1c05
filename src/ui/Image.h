#pragma once
// TImage: a picture on the form, at its own size or stretched to the control.

#include "skin/Picture.h"
#include "ui/Control.h"

namespace nudgelet::ui {

class TImage : public TControl {
 public:
  explicit TImage(UiContext& ui);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  skin::TPicture& Picture() { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);

  void Paint(Canvas& canvas) override;

 private:
  skin::TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
};

}  // namespace nudgelet::ui
