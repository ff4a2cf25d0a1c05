#pragma once
// TPicture: a picture property's slot. It holds a descriptor picture (the
// usual case: a few lines naming a skin resource), a picture of another kind
// given by the form designer, or nothing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/Published.h"
#include "skin/RdGraphic.h"
#include "skin/RdgImage.h"

namespace nudgelet::skin {

class TPicture : public TPersistent {
 public:
  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  bool Empty() const { return !graphic_; }
  TRdGraphic* Graphic() const { return graphic_.get(); }
  // The descriptor it holds; nullptr when it holds nothing or another kind.
  TRdgImage* Descriptor() const { return dynamic_cast<TRdgImage*>(graphic_.get()); }

  // Makes the slot a descriptor picture, reusing the one it holds, and
  // applies the lines to it.
  TRdgImage& ReadDescriptor(PackageStore& store, const std::vector<std::wstring>& lines);
  void SetGraphic(std::unique_ptr<TRdGraphic> graphic);
  void Clear();

  // Told after every change of what the slot holds.
  std::function<void()> onChange;

 private:
  void Changed();

  std::unique_ptr<TRdGraphic> graphic_;
};

}  // namespace nudgelet::skin
