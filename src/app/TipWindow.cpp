#include "app/TipWindow.h"

#include <utility>

#include "base/Strings.h"

namespace nudgelet::app {

using ui::TPanel;
using ui::TRdHtmLabel;
using ui::TRdImageButton;

namespace {

constexpr wchar_t kForm[] = L"Form_SoftupdateCombox";

std::wstring ReplaceFirst(std::wstring text, std::wstring_view what, const std::wstring& with) {
  if (const auto at = text.find(what); at != std::wstring::npos) text.replace(at, what.size(), with);
  return text;
}

}  // namespace

const skin::ClassInfo& TForm_SoftupdateCombox::ClassType() {
  static const skin::ClassInfo info(L"TForm_SoftupdateCombox", &ui::TForm::ClassType());
  return info;
}

TForm_SoftupdateCombox::TForm_SoftupdateCombox(ui::UiContext& ui, Services services)
    : TForm(ui), services_(std::move(services)) {}

TForm_SoftupdateCombox::~TForm_SoftupdateCombox() { DestroyChildren(); }

template <class T>
T& TForm_SoftupdateCombox::Find(const wchar_t* name) {
  auto* found = dynamic_cast<T*>(FindComponent(name));
  if (!found) throw ui::FormReadError(kForm, 1, WideToUtf8(name) + " is missing");
  return *found;
}

void TForm_SoftupdateCombox::LoadForm(const std::wstring& formText, const ui::ControlClasses& classes) {
  const ui::EventBinder handlers = [this](std::wstring_view name) -> std::optional<ui::TNotifyEvent> {
    auto bind = [](auto f) { return std::optional<ui::TNotifyEvent>(ui::TNotifyEvent(f)); };
    if (name == L"FormCreate") return bind([](skin::TPersistent&) {});  // run by Create, once the form is whole
    if (name == L"FormShow") return bind([this](skin::TPersistent&) { FormShow(); });
    if (name == L"FormClose") return bind([this](skin::TPersistent&) { FormClose(); });
    if (name == L"pnlFormMouseDown") {
      return bind([this](skin::TPersistent&) {
        if (services_.startDrag) services_.startDrag();
      });
    }
    if (name == L"pnl_FrameMouseEnter") return bind([this](skin::TPersistent&) { FocusList(); });
    if (name == L"RdImgBtnCloseClick") return bind([this](skin::TPersistent&) { FormClose(); });
    if (name == L"Rdbtn_ActiveClick") return bind([this](skin::TPersistent&) { Rdbtn_ActiveClick(); });
    return std::nullopt;
  };
  classes_ = &classes;
  ui::ReadFormInto(*this, kForm, formText, classes, handlers);
  pnlForm_ = &Find<TPanel>(L"pnlForm");
  pnlFrame_ = &Find<TPanel>(L"pnl_Frame");
  close_ = &Find<TRdImageButton>(L"RdImgBtnClose");
  update_ = &Find<TRdImageButton>(L"Rdbtn_Active");
  message_ = &Find<TRdHtmLabel>(L"Rdhtml_Main");
  border_ = &Find<ui::TShape>(L"Shp_back");
  formSkin_ = &Find<ui::TRdFormSkin>(L"RdFormSkin1");
}

void TForm_SoftupdateCombox::Create() { FormCreate(); }

void TForm_SoftupdateCombox::FormCreate() {
  const std::wstring database = services_.programFolder + L"Database\\VessaUpdate.dbd";
  if (!services_.probeDatabase || !services_.probeDatabase(database)) return services_.endProcess();
  if (!services_.fileExists || !services_.fileExists(database)) {
    if (services_.log) services_.log(L"BC91", L"Database is miss,Error");
    return services_.endProcess();
  }

  auto frame = std::make_unique<TFrame_SoftUpdata>(Ui(), services_.frameHooks);
  frame->LoadForm(services_.frameForm, *classes_);
  frame->onShowTip = [this](TFrame_SoftUpdata& sender) { ShowUpdateCount(sender); };
  frame_ = &static_cast<TFrame_SoftUpdata&>(pnlFrame_->InsertControl(std::move(frame)));
  frame_->SetBounds(1, 1, pnlFrame_->Width() - 2, pnlFrame_->Height() - 2);
  // The list takes the frame's width: its bars dock to its right edge, which
  // must be the frame's.
  ui::TRdListView& list = frame_->List();
  list.SetBounds(list.Left(), 22, frame_->Width() - list.Left(), frame_->Height() - 42);

  CenterControls();
  const bool composition = services_.compositionEnabled && services_.compositionEnabled();
  formSkin_->ShadowFrame().composition = composition;
  if (!composition) TakeFlushLayout();
  PlaceOnWorkArea();
  ApplyLanguage();

  if (services_.runDetection) services_.runDetection(*frame_);
  if (services_.removeTaskbarButton) services_.removeTaskbarButton();
}

void TForm_SoftupdateCombox::CenterControls() {
  update_->SetLeft((pnlForm_->Width() - update_->Width()) / 2);
  update_->SetTop(pnlForm_->Height() - update_->Height() - 40);
  message_->SetLeft((pnlForm_->Width() - message_->Width()) / 2);
}

// Without composition there is no shadow to show: the margins go, and the
// border shape becomes the window's edge.
void TForm_SoftupdateCombox::TakeFlushLayout() {
  ui::TShadowFrame& shadow = formSkin_->ShadowFrame();
  shadow.SetEnabled(false);
  shadow.SetMargins(0, 0, 0, 0);
  SetBounds(Left(), Top(), Width() - 20, Height() - 20);
  pnlForm_->SetBounds(1, 1, Width() - 2, Height() - 2);
  border_->SetBounds(0, 0, Width(), Height());
  border_->SetAlign(ui::TAlign::alClient);
}

void TForm_SoftupdateCombox::PlaceOnWorkArea() {
  if (!services_.workArea) return;
  const Rect area = services_.workArea();
  // With the shadow, its margin and the border line fall just outside the
  // work area on the right and at the bottom.
  const int reach = formSkin_->ShadowActive() ? 11 : 0;
  SetBounds(area.right - Width() + reach, area.bottom - Height() + reach, Width(), Height());
}

void TForm_SoftupdateCombox::LoadLanguageSection() {
  if (services_.loadLanguageSection) services_.loadLanguageSection(L"SoftCombox");
}

void TForm_SoftupdateCombox::ApplyLanguage() {
  if (!services_.loadLanguageSection) return;
  LoadLanguageSection();
  if (services_.getText) update_->SetCaption(services_.getText(L"Btn_Update", L"Update Now"));
  close_->SetHint(services_.closeText);
}

void TForm_SoftupdateCombox::ShowUpdateCount(TFrame_SoftUpdata& frame) {
  if (!services_.isAutoUpdateOff || !services_.isAutoUpdateOff()) return services_.endProcess();
  // The tip never covers a full-screen program.
  if (services_.isForegroundFullScreen && services_.isForegroundFullScreen()) return services_.endProcess();

  message_->SetTop(210);
  LoadLanguageSection();
  auto text = [this](const wchar_t* key, const wchar_t* english) {
    return services_.getText ? services_.getText(key, english) : std::wstring(english);
  };
  const int n = frame.List().Count();
  if (n > 1) {
    message_->SetCaption(
        ReplaceFirst(text(L"NeedUpdates", L"<a>%d</a> programs need to be updated."), L"%d", std::to_wstring(n)));
  } else if (n == 1) {
    message_->SetCaption(text(L"NeedUpdate", L"<a>1</a> program needs to be updated."));
  }
  frame.RecordShowTimes();
  if (services_.statistic) {
    services_.statistic(L"b501", 7);
    services_.statistic(L"a501", 0);
  }
}

void TForm_SoftupdateCombox::FormShow() {
  if (frame_) {
    ui::TRdListView& list = frame_->List();
    for (int i = 0; i < list.Count(); ++i) {
      ui::TkListItem* item = list.Item(i);
      item->SetMarks(item->Marks() & ~ui::imFocused);
    }
  }
  if (pnlForm_->Host() && pnlForm_->CanFocus()) pnlForm_->Host()->TakeFocus();
}

void TForm_SoftupdateCombox::FocusList() {
  if (!frame_) return;
  ui::TRdListView& list = frame_->List();
  if (list.Host() && list.CanFocus() && !list.Host()->HasFocus()) list.Host()->TakeFocus();
  for (int i = 0; i < list.Count(); ++i) {
    ui::TkListItem* item = list.Item(i);
    item->SetMarks(item->Marks() & ~ui::imFocused);
  }
}

void TForm_SoftupdateCombox::Rdbtn_ActiveClick() {
  if (services_.statistic) {
    services_.statistic(L"b502", 7);
    services_.statistic(L"a502", 0);
  }
  if (services_.shellOpen) services_.shellOpen(services_.installFolder + L"PatchwellHub.exe", L"/SUpdateTip");
  FormClose();
}

void TForm_SoftupdateCombox::FormClose() {
  if (closing_) return;
  closing_ = true;
  if (services_.releaseDetection) services_.releaseDetection();
  services_.endProcess();
}

}  // namespace nudgelet::app
