#include "detection/UpdateList.h"

#include "base/Strings.h"
#include "settings/CustomIniFile.h"

namespace nudgelet::detection {

IconLocation ParseIconLocation(const std::wstring& displayIcon) {
  std::wstring text;
  for (wchar_t c : displayIcon) {
    if (c != L'"') text += c;
  }
  IconLocation location;
  const auto firstComma = text.find(L',');
  if (firstComma != std::wstring::npos) {
    std::int32_t index = 0;
    // An index that is no number falls back to the first icon.
    location.index = ParseIniInteger(Trim(text.substr(text.rfind(L',') + 1)), index) ? index : 0;
    text = text.substr(0, firstComma);
  }
  for (std::size_t pos = text.find(L"\\\\"); pos != std::wstring::npos; pos = text.find(L"\\\\", pos + 1)) {
    text.replace(pos, 2, L"\\");
  }
  location.path = text;
  return location;
}

void TUpdateListModel::FillList(const std::vector<TSoftViewInfo>& candidates, bool candidateListExists,
                                UpdateListView& view, const platform::FileSystem& files, const Actions& actions) {
  rowCount_ = 0;
  view.Clear();
  if (!candidateListExists) {
    if (actions.endAtOnce) actions.endAtOnce();
    return;
  }
  view.BeginUpdate();
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    const TSoftViewInfo& c = candidates[k];
    if (!c.HasUpdate) continue;
    const int ownIcon = static_cast<int>(k) + 1;
    auto data = std::make_unique<TViewdata>();
    data->DisplayName = c.DisplayName;
    data->ImageIndex = ownIcon;
    data->Key = c.Key;
    data->BitText = std::to_wstring(c.Bit);
    data->NewVersion = c.NewVersion;
    data->Listed = true;
    view.AddItem(c.DisplayName, files.FileExists(ParseIconLocation(c.DisplayIcon).path) ? ownIcon : 0, std::move(data));
    ++rowCount_;
  }
  view.EndUpdate();
  // The first filling that meets an empty candidate list only notes it.
  if (!candidates.empty() || metEmptyCandidateList_) {
    if (actions.showOrQuit) actions.showOrQuit();
  } else {
    metEmptyCandidateList_ = true;
  }
  view.SetShowCustomVertScroll(rowCount_ >= 4);
}

}  // namespace nudgelet::detection
