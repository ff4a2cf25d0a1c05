#pragma once
// TPanel: a windowed container with an optional bevel and a centred caption.
// The tip window holds its update list in one.

#include <functional>

#include "ui/WinControl.h"

namespace nudgelet::ui {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
 public:
  explicit TPanel(UiContext& ui);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);

 protected:
  void Paint(Canvas& canvas) override;

 private:
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
};

// TForm: a top-level window. Its bounds are its client area on the screen;
// the window host adds whatever frame the border style asks for.
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

class TForm : public TWinControl {
 public:
  explicit TForm(UiContext& ui);
  ~TForm() override;
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style) { formStyle_ = style; }

  bool BindEvent(std::wstring_view event, const TNotifyEvent& handler) override;
  TNotifyEvent onCreate, onShow, onClose;
  // Paints the form in place of its plain background (a form skin does).
  std::function<void(Canvas&)> onPaint;

 protected:
  void Paint(Canvas& canvas) override;

 private:
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
};

}  // namespace nudgelet::ui
