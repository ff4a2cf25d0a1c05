#pragma once
// The list's look as skins set it: rows (AllSkinItem) and the header
// (AllSkinHeader). Colours are stored values; identifiers resolve at paint time.

#include <functional>

#include "skin/DesignRect.h"
#include "skin/Font.h"
#include "skin/Picture.h"
#include "skin/Published.h"

namespace nudgelet::ui {

class TRdListView;

enum class TSortState { ssNone, ssAsc, ssDesc };

inline constexpr skin::Color kClBackground = 0xFF000001;  // the system's background colour

class TkLVSkinItem : public skin::TPersistent {
 public:
  explicit TkLVSkinItem(TRdListView& owner);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  int itemLeftOffset = 0;
  int editHeight = 20;
  int itemCheckBoxLeftOffset = 10;
  int starMaxCount = 5;
  int labelLineHeight = 8;
  int itemDrawStep = 0;
  skin::Color itemDrawStepColor = kClBackground;
  skin::Color itemHoverColor = 0xFFFF96;
  skin::Color itemSelectColor = 0xDAB5FF;
  skin::Color itemGridColor = skin::kClNone;
  skin::TPicture bgNormal, bgNormal2, bgHover, bgSelect;
  skin::TDesignRectProperty bgOption;
  bool bgFillBlank = true;
  bool bgCrossMode = false;
  skin::TRdFont& LabelFont() { return labelFont_; }
  bool labelFontParent = true;
  skin::Color labelHoverColor = 0xFF0000;
  bool labelHoverUnderline = false;

 private:
  TRdListView& owner_;
  skin::TRdFont labelFont_;
};

class TkLVSkinHeader : public skin::TPersistent {
 public:
  explicit TkLVSkinHeader(TRdListView& owner);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  skin::Color gradientColorStart = 0xC0C0C0;
  skin::Color gradientColorStop = 0xFF00000F;  // button face
  skin::Color headerDividingColor = 0xFFFFFF;
  skin::TPicture headerBackGround, headerHoverImage, headerPressImage, sortPicUp, sortPicDown;
  int headerLeftOffset = 0;
  int headerSortImageOffset = 5;
  bool headerHoverHideDividing = false;

 private:
  TRdListView& owner_;
};

}  // namespace nudgelet::ui
