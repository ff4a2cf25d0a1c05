#pragma once
// TRdListView: the skinned list. It owns its rows outright: the item store,
// the update counting, sorting, finding and hit testing, and it paints them
// itself, as icons with captions below (icon view, the update list's) or as
// owner-drawn report rows under a painted header. Skinned scroll bars replace
// the system's and follow the top line or row.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/ImageList.h"
#include "ui/ListColumns.h"
#include "ui/ListItems.h"
#include "ui/ListSkin.h"
#include "ui/ScrollBar.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

struct TListHit {
  TkListItem* item = nullptr;
  int index = -1;
  int column = -1;
};

using TLVCompareEvent = std::function<void(TRdListView& sender, TkListItem& a, TkListItem& b, int data, int& compare)>;
using TLVDeletedEvent = std::function<void(TRdListView& sender, TkListItem& item)>;

class TRdListView : public TWinControl {
 public:
  explicit TRdListView(UiContext& ui);
  ~TRdListView() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // --- Items ---
  int Count() const { return static_cast<int>(items_.size()); }
  TkListItem* Item(int index) const;
  // Appends (index -1) or inserts a row.
  TkListItem& AddItem(const std::wstring& caption, int imageIndex = -1, int at = -1);
  void Delete(int index);
  void Clear();
  void BeginUpdate(int countHint = 0);
  void EndUpdate();
  int UpdateDepth() const { return updateDepth_; }
  // How often the window has been told a new row count (once per outermost update).
  int CountNotifications() const { return countNotifications_; }
  void SortItems(int column);
  // The next row from `start` whose caption begins with (or is) `text`; -1 when none.
  int FindCaption(int start, const std::wstring& text, bool partial, bool wrap) const;
  int FindData(const void* data) const;
  TListHit ItemAt(Point p);
  // Rows are kept in index order; two items claiming one index is a broken store.
  void CheckConsistency() const;

  // --- Columns and groups ---
  std::vector<std::unique_ptr<TkListColumn>>& Columns() { return columns_; }
  TkListColumn& AddColumn(const std::wstring& caption, int width, TListColumnType type = TListColumnType::ltNone);
  // Columns a form or skin may give a list: their widths, summed, fit an int.
  static constexpr std::size_t kMaxColumns = 64;
  TListColumnType CellType(const TkListItem& item, int column) const;
  std::vector<TkListGroup>& Groups() { return groups_; }

  // --- Look ---
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle style);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  int TextOffset() const { return textOffset_; }
  void SetTextOffset(int offset);
  // The icon view's grid.
  void SetIconSpacing(int cx, int cy);
  int IconSpacingX() const { return spacingX_; }
  int IconSpacingY() const { return spacingY_; }
  TImageList& LargeImages() { return largeImages_; }
  TImageList& SmallImages() { return smallImages_; }
  bool ShowColumnHeaders() const { return showHeaders_; }
  void SetShowColumnHeaders(bool show);
  int HeaderHeight() const;
  TkLVSkinItem& AllSkinItem() { return skinItem_; }
  TkLVSkinHeader& AllSkinHeader() { return skinHeader_; }
  TSortState SortState() const { return sortState_; }
  void SetSortState(TSortState state);
  int SortColumnIndex() const { return sortColumn_; }
  void SetSortColumnIndex(int column);
  bool openOwnerDraw = false;
  skin::Color frameColor = skin::kClNone;

  // --- Scrolling ---
  TRdScrollBar& VertScrollBar() { return *vert_; }
  TRdScrollBar& HorzScrollBar() { return *horz_; }
  bool ShowCustomVertScroll() const { return showVert_; }
  void SetShowCustomVertScroll(bool show);
  bool ShowCustomHorzScroll() const { return showHorz_; }
  void SetShowCustomHorzScroll(bool show);
  // The top row (report view) or line (icon view).
  int TopLine() const { return topLine_; }
  void ScrollTo(int line);
  void MakeVisible(int index);
  // The lines (icon view) or rows in all, and how many fit.
  int LineCount() const;
  int VisibleLines() const;
  int ItemsPerLine() const;

  // --- State ---
  int HotIndex() const { return hot_; }
  int Selected() const;
  void Select(int index);
  // Where an item is drawn, in client coordinates (it may lie outside the view).
  Rect ItemRect(int index) const;
  // The area rows are drawn in: the client area less the header and the visible bars.
  Rect ContentRect() const;

  // The header column pressed last (report view); OnColumnClick tells of it.
  int ClickedColumn() const { return clickedColumn_; }
  TNotifyEvent onColumnClick;
  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler) override;

  // Sees every key first; a key set to 0 is not handled further.
  std::function<void(TRdListView& sender, unsigned& key, unsigned shift)> onKeyDown;
  TLVCompareEvent onCompare;
  TLVDeletedEvent onDeletion;
  std::function<void(const std::wstring&)> onWriteLog;

  void Paint(Canvas& canvas) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseLeave() override;
  void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
  bool MouseWheel(int delta, unsigned shift, int x, int y) override;
  bool KeyDown(unsigned key, unsigned shift) override;
  void Loaded() override;

  // A row changed: repaint it, unless rows are being changed wholesale.
  void RowChanged(TkListItem& item);
  // Repaints one row (all its columns for -1).
  void InvalidateRow(int index, int column = -1);

 protected:
  void Resized() override;

 private:
  void Renumber();
  void SyncScrollBars();
  void OnBarScroll();
  void SetHot(int index);
  int Compare(TkListItem& a, TkListItem& b, int column);
  void PaintIcons(Canvas& canvas);
  void PaintReport(Canvas& canvas);
  void PaintHeader(Canvas& canvas);
  void PaintRow(Canvas& canvas, int index, const Rect& row);
  void PaintRowBackground(Canvas& canvas, int index, const Rect& row, bool selected, bool hot);
  void PaintIconCaptionCell(Canvas& canvas, TkListItem& item, int column, const Rect& cell, bool hot);
  void PaintTextCell(Canvas& canvas, const std::wstring& text, int column, const Rect& cell);
  skin::Color BaseColor(int index, skin::TPicture*& picture);
  void DrawRowPicture(Canvas& canvas, skin::TPicture& picture, Rect row, int index);

  std::vector<std::unique_ptr<TkListItem>> items_;
  std::vector<std::unique_ptr<TkListColumn>> columns_;
  std::vector<TkListGroup> groups_;
  std::atomic<std::uint64_t> serial_{0};
  int updateDepth_ = 0;
  std::vector<int> pendingCounts_;
  int countNotifications_ = 0;
  int windowCount_ = 0;  // the row count the window knows
  bool renumber_ = false;
  TViewStyle viewStyle_ = TViewStyle::vsIcon;
  int itemHeight_ = 26;
  int textOffset_ = 10;
  int spacingX_ = 75, spacingY_ = 75;
  TImageList largeImages_{32, 32};
  TImageList smallImages_{16, 16};
  bool showHeaders_ = true;
  TkLVSkinItem skinItem_;
  TkLVSkinHeader skinHeader_;
  TSortState sortState_ = TSortState::ssNone;
  int sortColumn_ = 0;
  TRdScrollBar* vert_ = nullptr;
  TRdScrollBar* horz_ = nullptr;
  bool showVert_ = false;
  bool showHorz_ = false;
  int topLine_ = 0;
  int leftOffset_ = 0;
  bool scrollingFromBar_ = false;
  int hot_ = -1;
  int clickedColumn_ = -1;
};

}  // namespace nudgelet::ui
