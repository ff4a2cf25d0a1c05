#pragma once
// A control's or picture's nine-slice margins as a published sub-object, so
// that skin lines reach them by path ("BackgroundOption.Left=6",
// "TextBorder.StretchMode=sdmFill"). The owner keeps the TDesignRect value; this
// object is its published face and tells the owner of every change, because a
// change from outside locks the owner's margins.

#include <functional>

#include "skin/NineSlice.h"
#include "skin/Published.h"

namespace nudgelet::skin {

class TDesignRectProperty : public TPersistent {
 public:
  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  const TDesignRect& Value() const { return value_; }
  // Takes a value without telling the owner: the owner's own doing.
  void Assign(const TDesignRect& value) { value_ = value; }

  void SetStretchMode(StretchMode mode);
  void SetLeft(int value);
  void SetTop(int value);
  void SetRight(int value);
  void SetBottom(int value);
  // True clears the margins; false asks the owner to fill them in (a
  // descriptor picture uses a third of its size), or leaves them when set.
  void SetEmpty(bool empty);

  // The margins changed from outside.
  std::function<void(const TDesignRect&)> onChange;
  // Empty was set to false on empty margins: the owner fills them in.
  std::function<void()> onFillIn;

 private:
  void Change(const TDesignRect& value);
  template <class T>
  void SetField(T TDesignRect::*field, T value) {
    TDesignRect changed = value_;
    changed.*field = value;
    Change(changed);
  }

  TDesignRect value_;
};

}  // namespace nudgelet::skin
