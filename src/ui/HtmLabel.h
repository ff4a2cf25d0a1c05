#pragma once
// TRdHtmLabel: a label whose caption is a small markup. Anchors in it become
// links with fonts, a hover font, a background, a cursor, a hint and a click
// event of their own, taken from the link items in the order of the anchors.

#include <map>
#include <memory>
#include <vector>

#include "skin/RdgImage.h"
#include "ui/HtmlMarkup.h"
#include "ui/Label.h"

namespace nudgelet::ui {

class TRdHtmLabel;

class TRdHtmLabelLink : public skin::TPersistent {
 public:
  TRdHtmLabelLink(TRdHtmLabel& owner);
  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  std::wstring name;
  std::wstring caption;
  skin::TRdFont& Font() { return font_; }
  skin::TRdFont& FontHover() { return fontHover_; }
  skin::Color colorBg = skin::kClNone;
  int cursor = crDefault;
  std::wstring hint;
  bool autoShowHint = false;
  int maxLine = -1;
  bool foundTextEllipsis = false;
  TNotifyEvent onClick;

  void Changed();

 private:
  TRdHtmLabel& owner_;
  skin::TRdFont font_;
  skin::TRdFont fontHover_;
};

class TRdHtmLabel : public TRdLabel {
 public:
  explicit TRdHtmLabel(UiContext& ui);
  ~TRdHtmLabel() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  const std::vector<std::wstring>& Lines() const { return lines_; }
  void SetLines(std::vector<std::wstring> lines);
  const std::wstring& PlainText() const { return plainText_; }
  int LineSpacing() const { return lineSpacing_; }
  void SetLineSpacing(int value);
  bool FoundTextOutOfRect() const { return foundOutOfRect_; }

  std::size_t LinkCount() const { return links_.size(); }
  TRdHtmLabelLink& Link(std::size_t i) { return *links_[i]; }
  TRdHtmLabelLink& AddLink();
  void ClearLinks();

  // The anchor under a point (-1 for none), from the layout painting uses.
  int AnchorAt(int x, int y);
  int HoveredAnchor() const { return hovered_; }
  // The anchors' places at the last paint.
  const std::vector<HtmlAnchorBox>& AnchorBoxes() const { return anchors_; }

  void Paint(Canvas& canvas) override;
  void AdjustBounds() override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
  void Click() override;
  void MouseLeave() override;
  int CursorAt(int x, int y) override;
  bool HintAt(int x, int y, std::wstring& hint) override;

 protected:
  void TextChanged() override;

 private:
  HtmlLayoutResult LayOut(Canvas& canvas, const Rect& rect);
  void SetHovered(int anchor);
  void InvalidateAnchor(int anchor);
  TRdHtmLabelLink* LinkOf(int anchor) {
    return anchor >= 0 && anchor < int(links_.size()) ? links_[anchor].get() : nullptr;
  }

  std::vector<std::wstring> lines_;
  std::wstring plainText_;
  int lineSpacing_ = 0;
  bool foundOutOfRect_ = false;
  std::vector<std::unique_ptr<TRdHtmLabelLink>> links_;
  std::map<std::wstring, std::unique_ptr<skin::TRdgImage>> pictures_;  // of IMG tags
  std::vector<HtmlAnchorBox> anchors_;
  int hovered_ = -1;
  int pressed_ = -1;
  int clickedLink_ = -1;  // released on the anchor it was pressed on: its click is due
  bool settingLines_ = false;
  // Gone with the label: a handler may free the label it was called from.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace nudgelet::ui
