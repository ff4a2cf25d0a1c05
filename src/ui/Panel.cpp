#include "ui/Panel.h"

#include "base/Strings.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {
constexpr skin::Color kBtnHighlight = 0xFF000014, kBtnShadow = 0xFF000010;
}

const ClassInfo& TPanel::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TPanel", &TWinControl::ClassType());
    Publisher<TPanel> p(c);
    p.Enumeration(
        L"BevelOuter", {L"bvNone", L"bvLowered", L"bvRaised", L"bvSpace"},
        [](const TPanel& o) { return static_cast<int>(o.bevelOuter_); },
        [](TPanel& o, std::int64_t v) { o.SetBevelOuter(static_cast<TBevelCut>(v)); }, 2);
    return c;
  }();
  return info;
}

TPanel::TPanel(UiContext& ui) : TWinControl(ui) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevelOuter_ == bevel) return;
  bevelOuter_ = bevel;
  Invalidate();
}

void TPanel::Paint(Canvas& canvas) {
  TWinControl::Paint(canvas);
  const Rect r = ClientRect();
  if (bevelOuter_ == TBevelCut::bvLowered || bevelOuter_ == TBevelCut::bvRaised) {
    const bool raised = bevelOuter_ == TBevelCut::bvRaised;
    const skin::Color light = raised ? kBtnHighlight : kBtnShadow, dark = raised ? kBtnShadow : kBtnHighlight;
    canvas.FillRect({r.left, r.top, r.right, r.top + 1}, light);
    canvas.FillRect({r.left, r.top, r.left + 1, r.bottom}, light);
    canvas.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, dark);
    canvas.FillRect({r.right - 1, r.top, r.right, r.bottom}, dark);
  }
  if (!Caption().empty()) {
    canvas.SelectFont(*Font());
    Rect text = r;
    canvas.DrawString(Caption(), text, kDtCenter | kDtVCenter | kDtSingleLine);
  }
}

const ClassInfo& TForm::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TForm", &TWinControl::ClassType());
    Publisher<TForm> p(c);
    p.Integer(
        L"ClientWidth", [](const TForm& o) { return o.Width(); }, [](TForm& o, std::int64_t v) { o.SetWidth(int(v)); });
    p.Integer(
        L"ClientHeight", [](const TForm& o) { return o.Height(); },
        [](TForm& o, std::int64_t v) { o.SetHeight(int(v)); });
    p.Enumeration(
        L"BorderStyle", {L"bsNone", L"bsSingle", L"bsSizeable", L"bsDialog", L"bsToolWindow", L"bsSizeToolWin"},
        [](const TForm& o) { return static_cast<int>(o.borderStyle_); },
        [](TForm& o, std::int64_t v) { o.SetBorderStyle(static_cast<TFormBorderStyle>(v)); }, 2);
    p.Enumeration(
        L"FormStyle", {L"fsNormal", L"fsMDIChild", L"fsMDIForm", L"fsStayOnTop"},
        [](const TForm& o) { return static_cast<int>(o.formStyle_); },
        [](TForm& o, std::int64_t v) { o.SetFormStyle(static_cast<TFormStyle>(v)); });
    return c;
  }();
  return info;
}

TForm::TForm(UiContext& ui) : TWinControl(ui) {
  SetParentShowHint(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() { DestroyChildren(); }

void TForm::Paint(Canvas& canvas) {
  if (onPaint) {
    onPaint(canvas);
    return;
  }
  TWinControl::Paint(canvas);
}

bool TForm::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  if (EqualsIgnoreCase(event, L"OnCreate")) return onCreate = handler, true;
  if (EqualsIgnoreCase(event, L"OnShow")) return onShow = handler, true;
  if (EqualsIgnoreCase(event, L"OnClose")) return onClose = handler, true;
  return TWinControl::BindEvent(event, handler);
}

}  // namespace nudgelet::ui
