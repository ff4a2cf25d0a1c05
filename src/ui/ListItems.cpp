#include "ui/ListItems.h"

#include "ui/ListView.h"

namespace nudgelet::ui {

void TkListItem::Changed() { owner_.RowChanged(*this); }

void TkListItem::SetCaption(const std::wstring& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

void TkListItem::SetImageIndex(int index) {
  if (imageIndex_ == index) return;
  imageIndex_ = index;
  Changed();
}

void TkListItem::SetStateIndex(int index) {
  if (stateIndex_ == index) return;
  stateIndex_ = index;
  Changed();
}

void TkListItem::SetGroupId(int id) {
  if (groupId_ == id) return;
  groupId_ = id;
  Changed();
}

void TkListItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void TkListItem::SetItemColor(skin::Color color) {
  if (color_ == color) return;
  color_ = color;
  Changed();
}

}  // namespace nudgelet::ui
