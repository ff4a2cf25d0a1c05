#pragma once
// The list's columns: what each column's cells are, how wide, and how its
// header behaves.

#include <functional>
#include <string>
#include <vector>

#include "skin/Published.h"
#include "ui/Control.h"

namespace nudgelet::ui {

enum class TListColumnType {
  ltNone,
  ltIconCaption,
  ltNormalIconCaption,
  ltButton,
  ltLabel,
  ltProgress,
  ltStar,
  ltEdit,
  ltComboBox,
  ltCheckbox,
  ltEmpty,
  ltDefault
};
const std::vector<std::wstring>& ListColumnTypeNames();

class TkListColumn : public skin::TPersistent {
 public:
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  std::wstring caption;
  int width = 50;
  int minWidth = 0;
  TAlignment alignment = TAlignment::taLeftJustify;
  TListColumnType columnType = TListColumnType::ltNone;
  int textOffset = 0;
  bool fixedWidth = false;
  bool showHeaderHover = true;
  bool showHeaderDividing = true;
  bool autoClickSort = true;
  bool enabled = true;
  std::vector<std::wstring> comboBoxItems;

  int Width() const { return std::max(width, minWidth); }
  std::function<void()> onChange;
};

}  // namespace nudgelet::ui
