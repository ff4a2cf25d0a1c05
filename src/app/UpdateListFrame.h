#pragma once
// TFrame_SoftUpdata: the frame of the reminder that lists the programs with
// updates. It fills its list from matching and the icons, sorts it A to Z,
// and decides with the show-time file whether the reminder shows at all.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "detection/UpdateIcons.h"
#include "detection/UpdateList.h"
#include "detection/UpdateMatching.h"
#include "ui/FormReader.h"
#include "ui/ListView.h"
#include "ui/Panel.h"

namespace nudgelet::app {

class TFrame_SoftUpdata : public ui::TPanel, public detection::UpdateListView {
 public:
  // What the frame asks of the program around it.
  struct Hooks {
    std::function<void()> endProcess;  // ends the run at once, exit code 0
    std::function<void(int count)> updateShortcutIcon;
    std::function<TDateTime()> now;
    std::function<std::wstring(const std::wstring& key, const std::wstring& english)> getText;
    const platform::FileSystem* files = nullptr;
    std::wstring showTimesPath;  // "SoftTip.ini" in the user's data folder
  };

  TFrame_SoftUpdata(ui::UiContext& ui, Hooks hooks);
  ~TFrame_SoftUpdata() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // Builds the frame's controls from its form text and sets them up.
  void LoadForm(const std::wstring& formText, const ui::ControlClasses& classes);
  ui::TRdListView& List() { return *list_; }

  // Matching, then the icons, then the rows, then ShowOrQuit.
  void Fill(detection::TUpdateMatcher& matcher, detection::TSoftwareInfo& inventory,
            const detection::IconContext& icons);
  // The rows from candidates and their icons (what Fill does after matching).
  void FillRows(std::vector<detection::TSoftViewInfo> candidates, bool candidateListExists, std::vector<Bitmap> icons,
                const platform::FileSystem& files);
  void ShowOrQuit();
  bool ShouldShowTip() const;
  void RecordShowTimes() const;
  // "Name: …" and "Available: …" of a row.
  std::wstring HintText(const ui::TkListItem& item) const;

  // Raised when the reminder is to show.
  std::function<void(TFrame_SoftUpdata&)> onShowTip;

  // --- The list the rows go into ---
  void Clear() override;
  void BeginUpdate() override;
  void EndUpdate() override;
  void AddItem(const std::wstring& caption, int imageIndex, std::unique_ptr<detection::TViewdata> data) override;
  void SetShowCustomVertScroll(bool show) override;

 private:
  std::vector<const detection::TViewdata*> Rows() const;
  void Compare(ui::TkListItem& a, ui::TkListItem& b, int& result);
  void ColumnClick();
  void MouseMoveOverList(int x, int y);
  void MouseEnterList();

  Hooks hooks_;
  ui::TRdListView* list_ = nullptr;
  detection::TUpdateListModel model_;
  int sortFlag_ = 2;
  int hintedRow_ = -1;
};

}  // namespace nudgelet::app
