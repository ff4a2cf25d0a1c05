#pragma once
// The list's own item store. The list window only ever knows how many rows
// there are; every row's caption, icon, marks and data live here.

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/ColorTable.h"

namespace nudgelet::ui {

class TRdListView;

// Misuse of the list, with a message naming where: "LV\\EndUpdate\\: ...".
class EListViewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An item's texts for the columns after the first, each with an image (-1: none).
class TkSubItems {
 public:
  std::size_t Count() const { return texts_.size(); }
  const std::wstring& operator[](std::size_t i) const { return texts_[i]; }
  void Add(const std::wstring& text, int image = -1) {
    texts_.push_back(text);
    images_.push_back(image);
  }
  void Set(std::size_t i, const std::wstring& text) { texts_.at(i) = text; }
  int Image(std::size_t i) const { return i < images_.size() ? images_[i] : -1; }
  void SetImage(std::size_t i, int image) { images_.at(i) = image; }
  void Clear() { texts_.clear(), images_.clear(); }

 private:
  std::vector<std::wstring> texts_;
  std::vector<int> images_;
};

// Marks a row carries; they move with the item when the list is sorted.
enum TItemMark : unsigned { imSelected = 1, imFocused = 2, imCut = 4, imDropHighlighted = 8 };

class TkListItem {
 public:
  TkListItem(TRdListView& owner, std::uint64_t serial) : owner_(owner), serial_(serial) {}

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int index);
  int GroupId() const { return groupId_; }
  void SetGroupId(int id);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  TkSubItems& SubItems() { return subItems_; }
  const TkSubItems& SubItems() const { return subItems_; }
  skin::Color ItemColor() const { return color_; }
  void SetItemColor(skin::Color color);
  int Indent() const { return indent_; }
  void SetIndent(int indent) { indent_ = indent; }

  unsigned Marks() const { return marks_; }
  bool Selected() const { return (marks_ & imSelected) != 0; }
  void SetMarks(unsigned marks) { marks_ = marks; }

  // Whatever the owner hangs on the row; it goes with the item.
  std::shared_ptr<void> data;
  template <class T>
  T* Data() const {
    return static_cast<T*>(data.get());
  }

  int Index() const { return index_; }
  std::uint64_t Serial() const { return serial_; }
  bool IsGroupHeader() const { return groupHeader_; }
  void SetGroupHeader(bool header) { groupHeader_ = header; }
  // Cell types per column, by column index, for cells that differ from their column.
  std::vector<std::pair<int, int>> cellTypes;

 private:
  friend class TRdListView;
  void Changed();

  TRdListView& owner_;
  const std::uint64_t serial_;
  std::wstring caption_;
  int imageIndex_ = -1;
  int stateIndex_ = -1;
  int groupId_ = -1;
  bool checked_ = false;
  TkSubItems subItems_;
  skin::Color color_ = skin::kClDefault;
  int indent_ = 0;
  unsigned marks_ = 0;
  int index_ = -1;
  bool groupHeader_ = false;
};

// A group of rows, as far as the list sorts and keeps them.
struct TkListGroup {
  int groupId = 0;
  int index = 0;
  std::wstring header;
  bool groupChecked = false;
  bool groupExpand = true;
  bool groupCheckboxes = true;
  bool groupHeadCheckbox = true;
  int extendedImage = -1;
};

}  // namespace nudgelet::ui
