#include "ui/ListView.h"

#include <algorithm>

#include "base/Strings.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {

constexpr int kHeaderHeight = 24;
// The icon view packs icon and caption tight, as the system's list does: the
// update list shows one line of items in little more than their height.
constexpr int kIconTop = 3;
constexpr int kCaptionGap = 3;
// Virtual-key codes the list answers.
constexpr unsigned kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
                   kVkRight = 0x27, kVkDown = 0x28;

bool RealColor(skin::Color c) { return c != skin::kClNone && c != skin::kClDefault && c != kClBackground && c != 1; }

// The caption as typed text is matched against it: a leading control
// character, and "//" or "@@" in caption cells, are not part of it.
std::wstring_view SearchableCaption(std::wstring_view caption, bool captionCell) {
  if (!caption.empty() && caption[0] < 20) caption.remove_prefix(1);
  if (captionCell && caption.size() >= 2 && (caption.substr(0, 2) == L"//" || caption.substr(0, 2) == L"@@")) {
    caption.remove_prefix(2);
  }
  return caption;
}

int WordSort(const std::wstring& a, const std::wstring& b) {
  const std::wstring ua = ToUpper(a), ub = ToUpper(b);
  if (ua != ub) return ua < ub ? -1 : 1;
  return a == b ? 0 : (a < b ? -1 : 1);
}

}  // namespace

const ClassInfo& TRdListView::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdListView", &TWinControl::ClassType());
    Publisher<TRdListView> p(c);
    using V = TRdListView;
    p.Enumeration(
        L"ViewStyle", {L"vsIcon", L"vsSmallIcon", L"vsList", L"vsReport"},
        [](const V& o) { return static_cast<int>(o.viewStyle_); },
        [](V& o, std::int64_t v) { o.SetViewStyle(static_cast<TViewStyle>(v)); });
    p.Collection(
        L"Columns", [](const V& o) { return o.columns_.size(); },
        [](V& o, std::size_t i) -> skin::TPersistent* { return i < o.columns_.size() ? o.columns_[i].get() : nullptr; },
        [](V& o) { o.columns_.clear(), o.Invalidate(); },
        [](V& o) -> skin::TPersistent* {
          return o.columns_.size() < kMaxColumns ? &o.AddColumn(L"", 50) : nullptr;
        });
    p.Integer(
        L"ItemHeight", [](const V& o) { return o.itemHeight_; }, [](V& o, std::int64_t v) { o.SetItemHeight(int(v)); },
        26);
    p.Integer(
        L"TextOffset", [](const V& o) { return o.textOffset_; }, [](V& o, std::int64_t v) { o.SetTextOffset(int(v)); },
        10);
    p.Boolean(
        L"OpenOwnerDraw", [](const V& o) { return o.openOwnerDraw; }, [](V& o, bool v) { o.openOwnerDraw = v; });
    p.Boolean(
        L"ShowColumnHeaders", [](const V& o) { return o.showHeaders_; },
        [](V& o, bool v) { o.SetShowColumnHeaders(v); }, true);
    p.Boolean(
        L"ShowCustomVertScroll", [](const V& o) { return o.showVert_; },
        [](V& o, bool v) { o.SetShowCustomVertScroll(v); });
    p.Boolean(
        L"ShowCustomHorzScroll", [](const V& o) { return o.showHorz_; },
        [](V& o, bool v) { o.SetShowCustomHorzScroll(v); });
    p.Object(L"AllSkinVertScroll", [](V& o) { return &o.vert_->Bar().AllSkinImage(); });
    p.Object(L"AllSkinHorzScroll", [](V& o) { return &o.horz_->Bar().AllSkinImage(); });
    p.Object(L"AllSkinItem", [](V& o) { return &o.skinItem_; });
    p.Object(L"AllSkinHeader", [](V& o) { return &o.skinHeader_; });
    p.Color(
        L"FrameColor", [](const V& o) { return o.frameColor; },
        [](V& o, std::int64_t v) { o.frameColor = skin::Color(v), o.Invalidate(); }, skin::kClNone);
    return c;
  }();
  return info;
}

TRdListView::TRdListView(UiContext& ui) : TWinControl(ui), skinItem_(*this), skinHeader_(*this) {
  SetColor(0xFFFFFF);
  SetBounds(0, 0, 250, 150);
  auto makeBar = [&](TScrollBarKind kind, TAlign align) {
    auto bar = std::make_unique<TRdScrollBar>(ui);
    bar->Bar().SetKind(kind);
    bar->Bar().SetAutoHide(true);
    bar->SetAlign(align);
    bar->SetVisible(false);
    bar->Bar().onChange = [this](skin::TPersistent&) { OnBarScroll(); };
    return &Insert(std::move(bar));
  };
  vert_ = makeBar(TScrollBarKind::sbVertical, TAlign::alRight);
  horz_ = makeBar(TScrollBarKind::sbHorizontal, TAlign::alBottom);
}

TRdListView::~TRdListView() {
  DestroyChildren();
  if (onDeletion) {
    auto handler = std::move(onDeletion);
    for (auto& item : items_) handler(*this, *item);
  }
}

// --- The store ---

TkListItem* TRdListView::Item(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

TkListItem& TRdListView::AddItem(const std::wstring& caption, int imageIndex, int at) {
  auto item = std::make_unique<TkListItem>(*this, ++serial_);
  item->caption_ = caption;
  item->imageIndex_ = imageIndex;
  TkListItem& added = *item;
  if (at < 0 || at >= Count()) {
    item->index_ = Count();
    items_.push_back(std::move(item));
  } else {
    items_.insert(items_.begin() + at, std::move(item));
    renumber_ = true;
  }
  if (updateDepth_ == 0) {
    if (renumber_) Renumber();
    windowCount_ = Count();
    ++countNotifications_;
    SyncScrollBars();
    Invalidate();
  }
  return added;
}

void TRdListView::Delete(int index) {
  TkListItem* item = Item(index);
  if (!item) return;
  if (onDeletion) onDeletion(*this, *item);
  if (hot_ == index) hot_ = -1;
  items_.erase(items_.begin() + index);
  renumber_ = true;
  if (updateDepth_ == 0) {
    Renumber();
    windowCount_ = Count();
    ++countNotifications_;
    SyncScrollBars();
    Invalidate();
  }
}

void TRdListView::Clear() {
  hot_ = -1;
  BeginUpdate();
  if (onDeletion) {
    for (auto& item : items_) onDeletion(*this, *item);
  }
  items_.clear();
  groups_.clear();
  topLine_ = 0;
  EndUpdate();
}

void TRdListView::Renumber() {
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
  renumber_ = false;
}

void TRdListView::BeginUpdate(int countHint) {
  ++updateDepth_;
  if (countHint > 0) {
    items_.reserve(items_.size() + static_cast<std::size_t>(countHint));
  }
  pendingCounts_.push_back(countHint < 0 ? -std::min(-countHint, Count()) : countHint);
}

void TRdListView::EndUpdate() {
  if (updateDepth_ == 0) throw EListViewError("LV\\\\EndUpdate\\\\: EndUpdate Overflow call! ");
  --updateDepth_;
  if (!pendingCounts_.empty()) pendingCounts_.pop_back();
  if (renumber_) Renumber();
  if (updateDepth_ > 0) return;
  if (windowCount_ != Count()) {
    windowCount_ = Count();
    ++countNotifications_;
  }
  if (hot_ >= Count()) hot_ = -1;
  SyncScrollBars();
  Invalidate();
}

void TRdListView::CheckConsistency() const {
  std::vector<const TkListItem*> byIndex(items_.size(), nullptr);
  for (const auto& item : items_) {
    const auto at = static_cast<std::size_t>(item->index_);
    if (at >= byIndex.size()) continue;
    if (byIndex[at] && byIndex[at]->serial_ != item->serial_) {
      throw EListViewError("LV\\\\ShowItems\\\\: Same Index " + std::to_string(at));
    }
    byIndex[at] = item.get();
  }
}

int TRdListView::Compare(TkListItem& a, TkListItem& b, int column) {
  auto groupIndex = [&](const TkListItem& item) {
    for (const auto& g : groups_) {
      if (g.groupId == item.groupId_) return g.index;
    }
    return item.groupId_;
  };
  if (a.groupHeader_ && b.groupHeader_) return groupIndex(a) - groupIndex(b);
  if (a.groupHeader_) {
    const int r = groupIndex(a) - b.groupId_;
    return r == 0 ? -1 : r;
  }
  if (b.groupHeader_) {
    const int r = a.groupId_ - groupIndex(b);
    return r == 0 ? 1 : r;
  }
  if (a.groupId_ != b.groupId_) return a.groupId_ < b.groupId_ ? -1 : 1;
  int result = 0;
  if (onCompare) {
    onCompare(*this, a, b, column, result);
  } else {
    result = WordSort(a.caption_, b.caption_);
  }
  return result;
}

void TRdListView::SortItems(int column) {
  BeginUpdate(0);
  // A merge sort: a comparison handler that contradicts itself gives an odd
  // order, never a broken store. The serial number settles ties.
  std::stable_sort(items_.begin(), items_.end(), [&](const auto& a, const auto& b) {
    const int r = Compare(*a, *b, column);
    return r != 0 ? r < 0 : a->serial_ < b->serial_;
  });
  // The marks are the items' own, so selection and focus moved with them.
  renumber_ = true;
  EndUpdate();
}

int TRdListView::FindCaption(int start, const std::wstring& text, bool partial, bool wrap) const {
  if (items_.empty()) return -1;
  const bool captionCell = !columns_.empty() && (columns_[0]->columnType == TListColumnType::ltIconCaption ||
                                                 columns_[0]->columnType == TListColumnType::ltNormalIconCaption);
  const int n = Count();
  start = std::clamp(start, 0, n);
  for (int step = 0; step < n; ++step) {
    const int i = start + step;
    if (i >= n && !wrap) break;
    const TkListItem& item = *items_[static_cast<std::size_t>(i % n)];
    if (item.groupHeader_) continue;
    const std::wstring_view caption = SearchableCaption(item.caption_, captionCell);
    const bool hit = partial ? caption.size() >= text.size() && EqualsIgnoreCase(caption.substr(0, text.size()), text)
                             : EqualsIgnoreCase(caption, text);
    if (hit) return i % n;
  }
  return -1;
}

int TRdListView::FindData(const void* data) const {
  for (const auto& item : items_) {
    if (item->data.get() == data) return item->index_;
  }
  return -1;
}

// --- Columns and look ---

TkListColumn& TRdListView::AddColumn(const std::wstring& caption, int width, TListColumnType type) {
  auto column = std::make_unique<TkListColumn>();
  column->caption = caption;
  column->width = width;
  column->columnType = type;
  column->onChange = [this] { Invalidate(); };
  columns_.push_back(std::move(column));
  Invalidate();
  return *columns_.back();
}

TListColumnType TRdListView::CellType(const TkListItem& item, int column) const {
  for (const auto& [at, type] : item.cellTypes) {
    if (at == column && type >= 0 && type <= static_cast<int>(TListColumnType::ltDefault)) {
      return static_cast<TListColumnType>(type);
    }
  }
  return column >= 0 && column < static_cast<int>(columns_.size())
             ? columns_[static_cast<std::size_t>(column)]->columnType
             : TListColumnType::ltNone;
}

void TRdListView::SetViewStyle(TViewStyle style) {
  if (viewStyle_ == style) return;
  viewStyle_ = style;
  topLine_ = 0;
  SyncScrollBars();
  Invalidate();
}

void TRdListView::SetItemHeight(int height) {
  height = std::max(1, height);
  if (itemHeight_ == height) return;
  itemHeight_ = height;
  SyncScrollBars();
  Invalidate();
}

void TRdListView::SetTextOffset(int offset) {
  textOffset_ = offset;
  Invalidate();
}

void TRdListView::SetIconSpacing(int cx, int cy) {
  spacingX_ = std::max(1, cx);
  spacingY_ = std::max(1, cy);
  SyncScrollBars();
  Invalidate();
}

void TRdListView::SetShowColumnHeaders(bool show) {
  showHeaders_ = show;
  SyncScrollBars();
  Invalidate();
}

int TRdListView::HeaderHeight() const { return viewStyle_ == TViewStyle::vsReport && showHeaders_ ? kHeaderHeight : 0; }

void TRdListView::SetSortState(TSortState state) {
  sortState_ = state;
  Invalidate();
}

void TRdListView::SetSortColumnIndex(int column) {
  sortColumn_ = column;
  Invalidate();
}

// --- Geometry and scrolling ---

Rect TRdListView::ContentRect() const {
  Rect r = ClientRect();
  if (vert_ && vert_->Visible()) r.right -= vert_->Width();
  if (horz_ && horz_->Visible()) r.bottom -= horz_->Height();
  r.top += HeaderHeight();
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

int TRdListView::ItemsPerLine() const {
  return viewStyle_ == TViewStyle::vsReport ? 1 : std::max(1, ContentRect().Width() / spacingX_);
}

int TRdListView::LineCount() const { return (Count() + ItemsPerLine() - 1) / ItemsPerLine(); }

int TRdListView::VisibleLines() const {
  const int unit = viewStyle_ == TViewStyle::vsReport ? itemHeight_ : spacingY_;
  return std::max(1, ContentRect().Height() / unit);
}

Rect TRdListView::ItemRect(int index) const {
  const Rect content = ContentRect();
  if (viewStyle_ == TViewStyle::vsReport) {
    int width = 0;
    for (const auto& c : columns_) width += c->Width();
    const int top = content.top + (index - topLine_) * itemHeight_;
    return {content.left - leftOffset_, top, content.left - leftOffset_ + std::max(width, content.Width()),
            top + itemHeight_};
  }
  const int perLine = ItemsPerLine();
  const int x = content.left + (index % perLine) * spacingX_;
  const int y = content.top + (index / perLine - topLine_) * spacingY_;
  return {x, y, x + spacingX_, y + spacingY_};
}

void TRdListView::ScrollTo(int line) {
  const int top = std::clamp(line, 0, std::max(0, LineCount() - VisibleLines()));
  if (top == topLine_) return;
  topLine_ = top;
  if (!scrollingFromBar_) vert_->Bar().SetPositionQuiet(topLine_, true);
  Invalidate();
}

void TRdListView::MakeVisible(int index) {
  if (index < 0 || index >= Count()) return;
  const int line = index / ItemsPerLine();
  if (line < topLine_) {
    ScrollTo(line);
  } else if (line >= topLine_ + VisibleLines()) {
    ScrollTo(line - VisibleLines() + 1);
  }
}

void TRdListView::SetShowCustomVertScroll(bool show) {
  showVert_ = show;
  SyncScrollBars();
}

void TRdListView::SetShowCustomHorzScroll(bool show) {
  showHorz_ = show;
  SyncScrollBars();
}

void TRdListView::SyncScrollBars() {
  if (!vert_ || Loading() || updateDepth_ > 0) return;
  // A bar that appears narrows the rows, which may change what fits: twice settles it.
  for (int pass = 0; pass < 2; ++pass) {
    TRdScrollBarEx& v = vert_->Bar();
    topLine_ = std::clamp(topLine_, 0, std::max(0, LineCount() - VisibleLines()));
    v.SetParams(0, std::max(0, LineCount() - 1), VisibleLines(), topLine_, false, !showVert_);
    v.SetSmallChange(1);
    v.SetLargeChange(std::max(1, VisibleLines()));
    if (!showVert_) {
      vert_->SetVisible(false);
    } else if (!v.AutoHide()) {
      vert_->SetVisible(true);
    }
    TRdScrollBarEx& h = horz_->Bar();
    int width = 0;
    if (viewStyle_ == TViewStyle::vsReport) {
      for (const auto& c : columns_) width += c->Width();
    }
    const int page = std::max(1, ContentRect().Width());
    leftOffset_ = std::clamp(leftOffset_, 0, std::max(0, width - page));
    h.SetParams(0, std::max(0, width - 1), page, leftOffset_, false, !showHorz_);
    h.SetLargeChange(page);
    if (!showHorz_) {
      horz_->SetVisible(false);
    } else if (!h.AutoHide()) {
      horz_->SetVisible(true);
    }
  }
}

void TRdListView::OnBarScroll() {
  if (scrollingFromBar_) return;
  scrollingFromBar_ = true;
  const int top = vert_->Bar().Position();
  if (top != topLine_) {
    topLine_ = std::clamp(top, 0, std::max(0, LineCount() - VisibleLines()));
    Invalidate();
  }
  const int left = horz_->Bar().Position();
  if (left != leftOffset_ && viewStyle_ == TViewStyle::vsReport) {
    leftOffset_ = left;
    Invalidate();
  }
  scrollingFromBar_ = false;
}

void TRdListView::Resized() {
  TWinControl::Resized();
  SyncScrollBars();
}

void TRdListView::Loaded() {
  TWinControl::Loaded();
  SyncScrollBars();
}

// --- State ---

int TRdListView::Selected() const {
  for (const auto& item : items_) {
    if (item->Selected()) return item->index_;
  }
  return -1;
}

void TRdListView::Select(int index) {
  for (auto& item : items_) {
    const bool want = item->index_ == index;
    if (want == item->Selected()) continue;
    item->marks_ = want ? (item->marks_ | imSelected | imFocused) : (item->marks_ & ~(imSelected | imFocused));
    InvalidateRow(item->index_);
  }
  MakeVisible(index);
}

void TRdListView::RowChanged(TkListItem& item) {
  if (updateDepth_ > 0 || Loading()) return;
  InvalidateRow(item.index_);
}

void TRdListView::InvalidateRow(int index, int column) {
  if (index < 0 || index >= Count()) return;
  Rect r = ItemRect(index);
  if (column >= 0 && viewStyle_ == TViewStyle::vsReport) {
    int x = r.left;
    for (int c = 0; c < column && c < static_cast<int>(columns_.size()); ++c)
      x += columns_[static_cast<std::size_t>(c)]->Width();
    if (column < static_cast<int>(columns_.size()))
      r = {x, r.top, x + columns_[static_cast<std::size_t>(column)]->Width(), r.bottom};
  }
  const Rect visible = Intersect(r, ContentRect());
  if (!visible.Empty()) InvalidateRect(visible);
}

TListHit TRdListView::ItemAt(Point p) {
  TListHit hit;
  const Rect content = ContentRect();
  if (!Contains(content, p)) return hit;
  int index = -1;
  if (viewStyle_ == TViewStyle::vsReport) {
    index = topLine_ + (p.y - content.top) / itemHeight_;
    int x = content.left - leftOffset_;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      if (p.x >= x && p.x < x + columns_[c]->Width()) hit.column = static_cast<int>(c);
      x += columns_[c]->Width();
    }
  } else {
    const int column = (p.x - content.left) / spacingX_;
    if (column >= ItemsPerLine()) return hit;
    index = (topLine_ + (p.y - content.top) / spacingY_) * ItemsPerLine() + column;
    hit.column = 0;
  }
  if (index < 0 || index >= Count()) return {};
  hit.item = Item(index);
  hit.index = index;
  return hit;
}

void TRdListView::SetHot(int index) {
  if (hot_ == index) return;
  const int old = hot_;
  hot_ = index;
  InvalidateRow(old);
  InvalidateRow(index);
}

void TRdListView::MouseMove(unsigned shift, int x, int y) {
  SetHot(ItemAt({x, y}).index);
  TWinControl::MouseMove(shift, x, y);
}

void TRdListView::MouseLeave() {
  SetHot(-1);
  TWinControl::MouseLeave();
}

void TRdListView::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left && y < HeaderHeight()) {
    int left = skinHeader_.headerLeftOffset - leftOffset_;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      if (x >= left && x < left + columns_[c]->Width()) {
        clickedColumn_ = static_cast<int>(c);
        if (onColumnClick) onColumnClick(*this);
      }
      left += columns_[c]->Width();
    }
  } else if (button == MouseButton::Left) {
    const TListHit hit = ItemAt({x, y});
    if (hit.item) Select(hit.index);
  }
  TWinControl::MouseDown(button, shift, x, y);
}

bool TRdListView::MouseWheel(int delta, unsigned shift, int x, int y) {
  if (LineCount() <= VisibleLines() || delta == 0) return false;
  const int lines = viewStyle_ == TViewStyle::vsReport ? 3 : 1;
  ScrollTo(topLine_ + (delta > 0 ? -lines : lines));
  // The pointer stayed where it was but now rests on another row: hot tracking
  // and the hint (the owner's move handler) must follow it as a move would,
  // or the hint goes on naming the row scrolled away.
  MouseMove(shift, x, y);
  return true;
}

bool TRdListView::KeyDown(unsigned key, unsigned shift) {
  if (onKeyDown) onKeyDown(*this, key, shift);
  if (key == 0) return true;
  if (items_.empty()) return false;
  const int perLine = ItemsPerLine(), current = Selected();
  int next = current;
  switch (key) {
    case kVkUp:
      next = current < 0 ? 0 : current - perLine;
      break;
    case kVkDown:
      next = current < 0 ? 0 : current + perLine;
      break;
    case kVkLeft:
      next = current < 0 ? 0 : current - 1;
      break;
    case kVkRight:
      next = current < 0 ? 0 : current + 1;
      break;
    case kVkHome:
      next = 0;
      break;
    case kVkEnd:
      next = Count() - 1;
      break;
    case kVkPrior:
      next = current - perLine * VisibleLines();
      break;
    case kVkNext:
      next = current + perLine * VisibleLines();
      break;
    default:
      return false;
  }
  Select(std::clamp(next, 0, Count() - 1));
  return true;
}

bool TRdListView::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  if (EqualsIgnoreCase(event, L"OnColumnClick")) return onColumnClick = handler, true;
  return TWinControl::BindEvent(event, handler);
}

// --- Painting ---

void TRdListView::Paint(Canvas& canvas) {
  canvas.FillRect(ClientRect(), GetColor());
  Canvas rows = canvas;
  rows.ClipTo(ContentRect());
  if (viewStyle_ == TViewStyle::vsReport) {
    PaintReport(rows);
    if (HeaderHeight() > 0) PaintHeader(canvas);
  } else {
    PaintIcons(rows);
  }
  if (frameColor != skin::kClNone) canvas.FrameRect(ClientRect(), frameColor);
}

void TRdListView::PaintIcons(Canvas& canvas) {
  const Rect content = ContentRect();
  const int perLine = ItemsPerLine();
  const int first = topLine_ * perLine, last = std::min(Count(), (topLine_ + VisibleLines() + 1) * perLine);
  for (int i = first; i < last; ++i) {
    TkListItem& item = *items_[static_cast<std::size_t>(i)];
    const Rect cell = ItemRect(i);
    if (Intersect(cell, content).Empty()) continue;
    const Rect face{cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2};
    auto usable = [](skin::Color c) { return c != skin::kClNone && c != 1; };
    if (item.Selected() && usable(skinItem_.itemSelectColor)) {
      canvas.FillRect(face, skinItem_.itemSelectColor);
    } else if (i == hot_ && usable(skinItem_.itemHoverColor)) {
      canvas.FillRect(face, skinItem_.itemHoverColor);
    }
    const int iw = largeImages_.Width(), ih = largeImages_.Height();
    const int ix = cell.left + (spacingX_ - iw) / 2, iy = cell.top + kIconTop;
    if (const Bitmap* icon = largeImages_.At(item.imageIndex_)) canvas.DrawBitmap(*icon, {ix, iy, ix + iw, iy + ih});
    canvas.SelectFont(*Font());
    if (RealColor(item.color_)) canvas.SetTextColor(item.color_);
    // A caption line the list cannot show whole is left out rather than cut
    // through; the hint names the program in full.
    Rect text{cell.left + 4, iy + ih + kCaptionGap, cell.right - 4, std::min(cell.bottom - 2, content.bottom)};
    canvas.DrawString(item.caption_, text, kDtCenter | kDtWordBreak | kDtEndEllipsis | kDtNoPrefix | kDtEditControl);
  }
}

skin::Color TRdListView::BaseColor(int index, skin::TPicture*& picture) {
  const int step = skinItem_.itemDrawStep;
  skin::Color stepColor = skinItem_.itemDrawStepColor;
  if (stepColor == kClBackground) {
    // The list's colour lightened by 60 on each channel.
    const skin::Color c = Ui().Colors().ColorToRGB(GetColor());
    auto up = [](skin::Color v) { return std::min<skin::Color>(255, v + 60); };
    stepColor = up(c & 0xFF) | up((c >> 8) & 0xFF) << 8 | up((c >> 16) & 0xFF) << 16;
  } else if (stepColor == skin::kClNone) {
    stepColor = GetColor();
  }
  bool alternate = false;
  if (step >= 0) {
    alternate = index % (step + 1) != 0;
  } else {
    alternate = index % step == 0;
  }
  picture = alternate ? &skinItem_.bgNormal2 : &skinItem_.bgNormal;
  skin::Color base = alternate ? stepColor : GetColor();
  if (const TkListItem* item = Item(index); item && RealColor(item->color_)) base = item->color_;
  return base;
}

void TRdListView::DrawRowPicture(Canvas& canvas, skin::TPicture& picture, Rect row, int index) {
  skin::TRdGraphic* g = picture.Graphic();
  if (!g || g->Width() <= 0) return;
  if (skinItem_.bgCrossMode) {
    const TkListItem* above = Item(index - 1);
    const TkListItem* below = Item(index + 1);
    const TkListItem* self = Item(index);
    if (self && (self->Selected() || index == hot_) && above && above->Selected()) row.top -= 1;
    if (index == hot_ && below && below->Selected()) row.bottom += 1;
  }
  const skin::TDesignRect& option = skinItem_.bgOption.Value();
  canvas.DrawPicture(*g, row, option.Empty() ? std::nullopt : std::optional<skin::TDesignRect>(option));
}

void TRdListView::PaintRowBackground(Canvas& canvas, int index, const Rect& row, bool selected, bool hot) {
  skin::TPicture* basePicture = nullptr;
  const skin::Color base = BaseColor(index, basePicture);
  canvas.FillRect(row, base);
  DrawRowPicture(canvas, *basePicture, row, index);
  auto hover = [&] {
    if (skinItem_.itemHoverColor == skin::kClNone || skinItem_.itemHoverColor == 1) return;
    if (skinItem_.bgHover.Graphic() && skinItem_.bgHover.Graphic()->Width() > 0) {
      DrawRowPicture(canvas, skinItem_.bgHover, row, index);
    } else {
      canvas.FillRect(row, skinItem_.itemHoverColor);
    }
  };
  if (selected) {
    const bool noSelectLook = skinItem_.itemSelectColor == skin::kClNone && !skinItem_.bgSelect.Graphic();
    if (noSelectLook) {
      if (hot) hover();
    } else if (skinItem_.itemSelectColor != skin::kClNone && skinItem_.itemSelectColor != 1) {
      if (skinItem_.bgSelect.Graphic() && skinItem_.bgSelect.Graphic()->Width() > 0) {
        DrawRowPicture(canvas, skinItem_.bgSelect, row, index);
      } else {
        canvas.FillRect(row, skinItem_.itemSelectColor);
      }
    }
  } else if (hot) {
    hover();
  }
}

void TRdListView::PaintReport(Canvas& canvas) {
  const Rect content = ContentRect();
  const int first = topLine_, last = std::min(Count(), topLine_ + VisibleLines() + 1);
  for (int i = first; i < last; ++i) PaintRow(canvas, i, ItemRect(i));
  // Empty rows below the last one, when rows have a look of their own.
  const bool rowLook = skinItem_.itemDrawStep != 0 || skinItem_.bgNormal.Graphic();
  if (!skinItem_.bgFillBlank || !rowLook) return;
  for (int i = std::max(last, first);; ++i) {
    const Rect row = ItemRect(i);
    if (row.top >= content.bottom) break;
    skin::TPicture* picture = nullptr;
    const skin::Color base = BaseColor(i, picture);
    if (base != skin::kClNone && base != kClBackground) canvas.FillRect(row, base);
    DrawRowPicture(canvas, *picture, row, i);
  }
}

void TRdListView::PaintRow(Canvas& canvas, int index, const Rect& row) {
  TkListItem& item = *items_[static_cast<std::size_t>(index)];
  const bool selected = item.Selected() || item.checked_;
  PaintRowBackground(canvas, index, row, selected, index == hot_);
  int x = row.left;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const Rect cell{x, row.top, x + columns_[c]->Width(), row.bottom};
    x = cell.right;
    const int column = static_cast<int>(c);
    const TListColumnType type = CellType(item, column);
    if (type == TListColumnType::ltIconCaption || type == TListColumnType::ltNormalIconCaption) {
      PaintIconCaptionCell(canvas, item, column, cell, index == hot_);
    } else if (type != TListColumnType::ltEmpty) {
      const std::wstring& text =
          c == 0 ? item.caption_ : (c - 1 < item.subItems_.Count() ? item.subItems_[c - 1] : L"");
      PaintTextCell(canvas, text, column, cell);
    }
  }
  if (skinItem_.itemGridColor != skin::kClNone) {
    canvas.FillRect({row.left, row.bottom - 1, row.right, row.bottom}, skinItem_.itemGridColor);
  }
}

void TRdListView::PaintTextCell(Canvas& canvas, const std::wstring& text, int column, const Rect& cell) {
  const TkListColumn& c = *columns_[static_cast<std::size_t>(column)];
  canvas.SelectFont(*Font());
  Rect r{cell.left + textOffset_ + c.textOffset, cell.top, cell.right - 4, cell.bottom};
  const unsigned align = c.alignment == TAlignment::taRightJustify ? kDtRight
                         : c.alignment == TAlignment::taCenter     ? kDtCenter
                                                                   : kDtLeft;
  canvas.DrawString(text, r, align | kDtVCenter | kDtSingleLine | kDtEndEllipsis | kDtNoPrefix);
}

void TRdListView::PaintIconCaptionCell(Canvas& canvas, TkListItem& item, int column, const Rect& cell, bool hot) {
  const TListColumnType type = CellType(item, column);
  const int indent = column == 0 ? skinItem_.itemLeftOffset + item.indent_ : 0;
  int textLeft = cell.left + textOffset_ + indent + columns_[static_cast<std::size_t>(column)]->textOffset;
  const int image = column == 0 ? item.imageIndex_ : item.subItems_.Image(static_cast<std::size_t>(column - 1));
  if (const Bitmap* icon = smallImages_.At(image)) {
    const int ix = cell.left + textOffset_ + indent;
    const int iy = cell.top + (cell.Height() - smallImages_.Height()) / 2;
    canvas.DrawBitmap(*icon, {ix, iy, ix + smallImages_.Width(), iy + smallImages_.Height()});
    textLeft += smallImages_.Width() + 5;
  }
  const std::wstring text = column == 0 ? item.caption_
                                        : (static_cast<std::size_t>(column - 1) < item.subItems_.Count()
                                               ? item.subItems_[static_cast<std::size_t>(column - 1)]
                                               : L"");
  struct Line {
    std::wstring text;
    bool label = false;
    int height = 0;
  };
  std::vector<Line> lines;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(L"\r\r", from);
    lines.push_back({text.substr(from, at == std::wstring::npos ? std::wstring::npos : at - from)});
    if (at == std::wstring::npos) break;
    from = at + 2;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Line& l = lines[i];
    if (l.text.rfind(L"//", 0) == 0) {
      l.text.erase(0, 2);
    } else if (l.text.rfind(L"@@", 0) == 0) {
      l.text.erase(0, 2);
      l.label = true;
    } else {
      l.label = i == 0 && (lines.size() > 1 || type == TListColumnType::ltIconCaption);
    }
  }
  auto fontOf = [&](const Line& l) -> const skin::TFont& {
    return l.label && !skinItem_.labelFontParent ? static_cast<const skin::TFont&>(skinItem_.LabelFont()) : *Font();
  };
  const int spacing = skinItem_.labelLineHeight;
  int total = 0;
  for (Line& l : lines) {
    canvas.SelectFont(fontOf(l));
    Rect m{0, 0, 1 << 20, 1 << 20};
    canvas.DrawString(l.text.empty() ? L" " : l.text, m, kDtCalcRect | kDtSingleLine | kDtNoPrefix);
    l.height = m.Height();
    total += l.height;
  }
  total += spacing * static_cast<int>(lines.size() - 1);
  int y = cell.top + (cell.Height() - total) / 2;
  for (const Line& l : lines) {
    canvas.SelectFont(fontOf(l));
    if (l.label && hot && type == TListColumnType::ltIconCaption && skinItem_.labelHoverColor != skin::kClNone) {
      canvas.SetTextColor(skinItem_.labelHoverColor);
      if (skinItem_.labelHoverUnderline) {
        skin::FontDescription f = canvas.Font();
        f.style |= skin::fsUnderline;
        canvas.SetFont(f);
      }
    }
    Rect r{textLeft, y, cell.right - 4, y + l.height};
    canvas.DrawString(l.text, r, kDtSingleLine | kDtEndEllipsis | kDtNoPrefix);
    y += l.height + spacing;
  }
}

void TRdListView::PaintHeader(Canvas& canvas) {
  const Rect header{0, 0, ContentRect().right, HeaderHeight()};
  if (skin::TRdGraphic* g = skinHeader_.headerBackGround.Graphic(); g && g->Width() > 0) {
    canvas.DrawPicture(*g, header, std::nullopt);
  } else {
    // A top-to-bottom gradient between the two header colours.
    const skin::Color a = canvas.Resolve(skinHeader_.gradientColorStart),
                      b = canvas.Resolve(skinHeader_.gradientColorStop);
    for (int y = 0; y < header.bottom; ++y) {
      auto mix = [&](int shift) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        return static_cast<skin::Color>(ca + (cb - ca) * y / std::max(1, header.bottom - 1)) << shift;
      };
      canvas.FillRect({0, y, header.right, y + 1}, mix(0) | mix(8) | mix(16));
    }
  }
  int x = skinHeader_.headerLeftOffset - leftOffset_;
  canvas.SelectFont(*Font());
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const TkListColumn& column = *columns_[c];
    const Rect cell{x, 0, x + column.Width(), header.bottom};
    Rect text{cell.left + textOffset_, 0, cell.right - 4, header.bottom};
    const unsigned align = column.alignment == TAlignment::taRightJustify ? kDtRight
                           : column.alignment == TAlignment::taCenter     ? kDtCenter
                                                                          : kDtLeft;
    canvas.DrawString(column.caption, text, align | kDtVCenter | kDtSingleLine | kDtEndEllipsis | kDtNoPrefix);
    if (static_cast<int>(c) == sortColumn_ && sortState_ != TSortState::ssNone) {
      skin::TPicture& picture = sortState_ == TSortState::ssAsc ? skinHeader_.sortPicUp : skinHeader_.sortPicDown;
      Rect measured = text;
      canvas.DrawString(column.caption, measured, kDtCalcRect | kDtSingleLine | kDtNoPrefix);
      const int ax = std::min(measured.right + skinHeader_.headerSortImageOffset, cell.right - 10);
      const int ay = header.bottom / 2;
      if (skin::TRdGraphic* g = picture.Graphic(); g && g->Width() > 0) {
        canvas.DrawPicture(*g, {ax, ay - g->Height() / 2, ax + g->Width(), ay - g->Height() / 2 + g->Height()},
                           std::nullopt);
      } else {
        for (int i = 0; i < 4; ++i) {
          const int half = sortState_ == TSortState::ssAsc ? i : 3 - i;
          canvas.FillRect({ax + 3 - half, ay - 2 + i, ax + 4 + half, ay - 1 + i}, 0xFF000010);
        }
      }
    }
    if (column.showHeaderDividing)
      canvas.FillRect({cell.right - 1, 4, cell.right, header.bottom - 4}, skinHeader_.headerDividingColor);
    x = cell.right;
  }
}

}  // namespace nudgelet::ui
