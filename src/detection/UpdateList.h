#pragma once
// The rows of the update list: which candidates become rows, what each row
// carries, and the list they are filled into.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "detection/SoftViewInfo.h"
#include "platform/FileSystem.h"

namespace nudgelet::detection {

// What a row carries besides its caption and icon.
struct TViewdata {
  std::wstring DisplayName;
  std::int32_t ImageIndex = 0;
  std::wstring Key;
  std::wstring BitText;
  std::wstring NewVersion;
  bool Listed = false;
};

// The list control the rows go into; the skinned list view implements it.
class UpdateListView {
 public:
  virtual ~UpdateListView() = default;
  virtual void Clear() = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void AddItem(const std::wstring& caption, int imageIndex, std::unique_ptr<TViewdata> data) = 0;
  virtual void SetShowCustomVertScroll(bool show) = 0;
};

// A list view that only keeps what it is given: the list of a run without a
// window, and of the tests.
class InMemoryUpdateList final : public UpdateListView {
 public:
  struct Item {
    std::wstring caption;
    int imageIndex = 0;
    std::unique_ptr<TViewdata> data;
  };

  void Clear() override { items.clear(); }
  void BeginUpdate() override { ++updateDepth; }
  void EndUpdate() override { --updateDepth; }
  void AddItem(const std::wstring& caption, int imageIndex, std::unique_ptr<TViewdata> data) override {
    items.push_back(Item{caption, imageIndex, std::move(data)});
  }
  void SetShowCustomVertScroll(bool show) override { showCustomVertScroll = show; }

  std::vector<Item> items;
  int updateDepth = 0;
  bool showCustomVertScroll = false;
};

// A DisplayIcon text split into the file and the icon index: quotes removed,
// "path,index" with the index after the last comma, doubled backslashes undone.
struct IconLocation {
  std::wstring path;
  int index = 0;
};
IconLocation ParseIconLocation(const std::wstring& displayIcon);

// Fills the list from the candidates and decides what happens next.
class TUpdateListModel {
 public:
  struct Actions {
    std::function<void()> showOrQuit;  // the show-time rule of the frame
    std::function<void()> endAtOnce;   // no candidate list at all: nothing to remind of
  };

  // One row per candidate with an update, in candidate order; its icon is the
  // candidate's own (index k + 1) when its icon file exists, else the default (0).
  void FillList(const std::vector<TSoftViewInfo>& candidates, bool candidateListExists, UpdateListView& view,
                const platform::FileSystem& files, const Actions& actions);

  int RowCount() const { return rowCount_; }

 private:
  int rowCount_ = 0;
  bool metEmptyCandidateList_ = false;
};

}  // namespace nudgelet::detection
