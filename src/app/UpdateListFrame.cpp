#include "app/UpdateListFrame.h"

#include "app/ShowTimes.h"
#include "base/Strings.h"
#include "ui/WinControl.h"

namespace nudgelet::app {

using ui::TkListItem;
using ui::TRdListView;

const skin::ClassInfo& TFrame_SoftUpdata::ClassType() {
  static const skin::ClassInfo info(L"TFrame_SoftUpdata", &ui::TPanel::ClassType());
  return info;
}

TFrame_SoftUpdata::TFrame_SoftUpdata(ui::UiContext& ui, Hooks hooks) : TPanel(ui), hooks_(std::move(hooks)) {
  SetBevelOuter(ui::TBevelCut::bvNone);
}

TFrame_SoftUpdata::~TFrame_SoftUpdata() { DestroyChildren(); }

void TFrame_SoftUpdata::LoadForm(const std::wstring& formText, const ui::ControlClasses& classes) {
  const ui::EventBinder handlers = [this](std::wstring_view name) -> std::optional<ui::TNotifyEvent> {
    if (name == L"FrameResize") return ui::TNotifyEvent([](skin::TPersistent&) {});  // nothing to lay out
    if (name == L"Pnl_CenterClick") return ui::TNotifyEvent([this](skin::TPersistent&) { list_->Select(-1); });
    if (name == L"RdView_UpdataColumnClick") return ui::TNotifyEvent([this](skin::TPersistent&) { ColumnClick(); });
    if (name == L"RdView_UpdataMouseEnter") return ui::TNotifyEvent([this](skin::TPersistent&) { MouseEnterList(); });
    return std::nullopt;
  };
  ui::ReadFormInto(*this, L"Frame_SoftUpdata", formText, classes, handlers);
  list_ = dynamic_cast<TRdListView*>(FindComponent(L"RdView_Updata"));
  if (!list_) throw ui::FormReadError(L"Frame_SoftUpdata", 1, "RdView_Updata is missing");
  list_->SetIconSpacing(99, 99);
  list_->SetSortState(ui::TSortState::ssDesc);
  sortFlag_ = 2;
  list_->SetShowHint(true);
  list_->onCompare = [this](TRdListView&, TkListItem& a, TkListItem& b, int, int& r) { Compare(a, b, r); };
  // The rows' data goes with them; nothing more to free.
  list_->onDeletion = [](TRdListView&, TkListItem&) {};
  list_->onKeyDown = [](TRdListView&, unsigned& key, unsigned) { key = 0; };  // the list takes no keys
  list_->onMouseMove = [this](ui::TControl&, unsigned, int x, int y) { MouseMoveOverList(x, y); };
  list_->onShowHint = [this](ui::TControl&, std::wstring& hint, bool& show) {
    const TkListItem* item = list_->Item(list_->HotIndex());
    show = item != nullptr;
    hint = item ? HintText(*item) : L"";
  };
}

// --- The rows ---

void TFrame_SoftUpdata::Clear() { list_->Clear(); }
void TFrame_SoftUpdata::BeginUpdate() { list_->BeginUpdate(); }
void TFrame_SoftUpdata::EndUpdate() { list_->EndUpdate(); }

void TFrame_SoftUpdata::AddItem(const std::wstring& caption, int imageIndex,
                                std::unique_ptr<detection::TViewdata> data) {
  TkListItem& item = list_->AddItem(caption, imageIndex);
  item.data = std::shared_ptr<detection::TViewdata>(std::move(data));
}

void TFrame_SoftUpdata::SetShowCustomVertScroll(bool show) { list_->SetShowCustomVertScroll(show); }

std::vector<const detection::TViewdata*> TFrame_SoftUpdata::Rows() const {
  std::vector<const detection::TViewdata*> rows;
  for (int i = 0; i < list_->Count(); ++i) {
    if (const auto* row = list_->Item(i)->Data<detection::TViewdata>()) rows.push_back(row);
  }
  return rows;
}

void TFrame_SoftUpdata::Fill(detection::TUpdateMatcher& matcher, detection::TSoftwareInfo& inventory,
                             const detection::IconContext& icons) {
  matcher.MatchInstalledPrograms(inventory);
  std::vector<detection::TSoftViewInfo> candidates = matcher.Candidates();
  // Icons are looked for through the files as matching saw them.
  const detection::IconContext seen{icons.icons, matcher.Files(), icons.system, icons.executablePath,
                                    icons.defaultIcon};
  std::vector<Bitmap> images = detection::LoadIcons(candidates, seen);
  FillRows(std::move(candidates), matcher.HasCandidateList(), std::move(images), matcher.Files());
}

void TFrame_SoftUpdata::FillRows(std::vector<detection::TSoftViewInfo> candidates, bool candidateListExists,
                                 std::vector<Bitmap> icons, const platform::FileSystem& files) {
  list_->LargeImages().Clear();
  list_->SmallImages().Clear();
  for (const Bitmap& icon : icons) {
    list_->LargeImages().Add(icon);
    list_->SmallImages().Add(icon);
  }
  // The lists keep their own copies; a megabyte of icons need not stay while the window shows.
  icons = {};
  bool decided = false;
  detection::TUpdateListModel::Actions actions;
  actions.showOrQuit = [this, &decided] {
    decided = true;
    ShowOrQuit();
  };
  actions.endAtOnce = hooks_.endProcess;
  model_.FillList(candidates, candidateListExists, *this, files, actions);
  // A candidate list that exists but is empty would leave a reminder with no
  // rows at all: it goes the way of every empty list, the shortcut set to none
  // and the run ended.
  if (candidateListExists && !decided) ShowOrQuit();
}

void TFrame_SoftUpdata::ShowOrQuit() {
  list_->BeginUpdate();
  list_->SortItems(0);
  list_->EndUpdate();
  if (hooks_.updateShortcutIcon) hooks_.updateShortcutIcon(list_->Count());
  if (list_->Count() < 1 || !ShouldShowTip()) {
    if (hooks_.endProcess) hooks_.endProcess();
    return;
  }
  if (onShowTip) onShowTip(*this);
  // The list lays itself out again for the size it was given meanwhile.
  list_->SetHeight(list_->Height() + 1);
  list_->SetHeight(list_->Height() - 1);
}

bool TFrame_SoftUpdata::ShouldShowTip() const {
  if (!hooks_.files) return true;
  return app::ShouldShowTip(Rows(), *hooks_.files, hooks_.showTimesPath, hooks_.now ? hooks_.now() : 0);
}

void TFrame_SoftUpdata::RecordShowTimes() const {
  if (hooks_.files) app::RecordShowTimes(Rows(), *hooks_.files, hooks_.showTimesPath, hooks_.now ? hooks_.now() : 0);
}

// --- Handlers ---

void TFrame_SoftUpdata::Compare(TkListItem& a, TkListItem& b, int& result) {
  const std::wstring ua = ToUpper(a.Caption()), ub = ToUpper(b.Caption());
  result = ua < ub ? -1 : ua > ub ? 1 : 0;
  if (list_->SortState() == ui::TSortState::ssAsc) result = -result;
}

void TFrame_SoftUpdata::ColumnClick() {
  list_->SetSortColumnIndex(0);
  if (list_->ClickedColumn() != 0) return;
  if (sortFlag_ == 2) {
    list_->SetSortState(ui::TSortState::ssAsc);
    sortFlag_ = 1;
  } else {
    list_->SetSortState(ui::TSortState::ssDesc);
    sortFlag_ = 2;
  }
  list_->SortItems(0);
}

std::wstring TFrame_SoftUpdata::HintText(const TkListItem& item) const {
  auto text = [this](const wchar_t* key, const wchar_t* english) {
    return hooks_.getText ? hooks_.getText(key, english) : std::wstring(english);
  };
  const auto* row = item.Data<detection::TViewdata>();
  return text(L"HintName", L"Name") + L": " + item.Caption() + L"\r" + text(L"HintAvaliable", L"Available") + L": " +
         (row ? row->NewVersion : L"");
}

void TFrame_SoftUpdata::MouseMoveOverList(int x, int y) {
  const ui::TListHit hit = list_->ItemAt({x, y});
  if (!hit.item) {
    list_->SetShowHint(false);
    list_->Root().HideHint();
    hintedRow_ = -1;
    return;
  }
  list_->SetShowHint(true);
  if (hit.index != hintedRow_) {
    hintedRow_ = hit.index;
    list_->Root().RefreshHint();
  }
}

void TFrame_SoftUpdata::MouseEnterList() {
  if (list_->Host() && list_->CanFocus() && !list_->Host()->HasFocus()) list_->Host()->TakeFocus();
  for (int i = 0; i < list_->Count(); ++i) {
    TkListItem* item = list_->Item(i);
    item->SetMarks(item->Marks() & ~ui::imFocused);
  }
}

}  // namespace nudgelet::app
