#include "skin/DesignRect.h"

namespace nudgelet::skin {

const ClassInfo& TDesignRectProperty::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TDesignRect", nullptr);
    Publisher<TDesignRectProperty> p(c);
    p.Enumeration(
        L"StretchMode", {L"sdmDefault", L"sdmStretch", L"sdmFill", L"sdmFrame"},
        [](const TDesignRectProperty& o) { return static_cast<std::int64_t>(o.value_.mode); },
        [](TDesignRectProperty& o, std::int64_t v) { o.SetStretchMode(static_cast<StretchMode>(v)); });
    p.Boolean(
         L"Empty", [](const TDesignRectProperty& o) { return o.value_.Empty(); },
         [](TDesignRectProperty& o, bool v) { o.SetEmpty(v); })
        .stored = [](const TPersistent&) { return false; };  // the margins say it
    p.Integer(
        L"Left", [](const TDesignRectProperty& o) { return o.value_.left; },
        [](TDesignRectProperty& o, std::int64_t v) { o.SetLeft(static_cast<int>(v)); }, 0);
    p.Integer(
        L"Top", [](const TDesignRectProperty& o) { return o.value_.top; },
        [](TDesignRectProperty& o, std::int64_t v) { o.SetTop(static_cast<int>(v)); }, 0);
    p.Integer(
        L"Right", [](const TDesignRectProperty& o) { return o.value_.right; },
        [](TDesignRectProperty& o, std::int64_t v) { o.SetRight(static_cast<int>(v)); }, 0);
    p.Integer(
        L"Bottom", [](const TDesignRectProperty& o) { return o.value_.bottom; },
        [](TDesignRectProperty& o, std::int64_t v) { o.SetBottom(static_cast<int>(v)); }, 0);
    return c;
  }();
  return info;
}

void TDesignRectProperty::Change(const TDesignRect& value) {
  value_ = value;
  if (onChange) onChange(value_);
}

void TDesignRectProperty::SetStretchMode(StretchMode mode) { SetField(&TDesignRect::mode, mode); }
void TDesignRectProperty::SetLeft(int value) { SetField(&TDesignRect::left, value); }
void TDesignRectProperty::SetTop(int value) { SetField(&TDesignRect::top, value); }
void TDesignRectProperty::SetRight(int value) { SetField(&TDesignRect::right, value); }
void TDesignRectProperty::SetBottom(int value) { SetField(&TDesignRect::bottom, value); }

void TDesignRectProperty::SetEmpty(bool empty) {
  if (empty) {
    TDesignRect v = value_;
    v.SetMargins(0, 0, 0, 0);
    Change(v);
  } else if (value_.Empty() && onFillIn) {
    onFillIn();
  }
}

}  // namespace nudgelet::skin
