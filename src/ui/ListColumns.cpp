#include "ui/ListColumns.h"

#include <algorithm>

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const std::vector<std::wstring>& ListColumnTypeNames() {
  static const std::vector<std::wstring> names{
      L"ltNone", L"ltIconCaption", L"ltNormalIconCaption", L"ltButton",   L"ltLabel", L"ltProgress",
      L"ltStar", L"ltEdit",        L"ltComboBox",          L"ltCheckbox", L"ltEmpty", L"ltDefault"};
  return names;
}

const ClassInfo& TkListColumn::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TkListColumn", nullptr);
    Publisher<TkListColumn> p(c);
    using K = TkListColumn;
    auto changed = [](K& o) {
      if (o.onChange) o.onChange();
    };
    p.String(
        L"Caption", [](const K& o) { return o.caption; },
        [changed](K& o, const std::wstring& v) { o.caption = v, changed(o); });
    p.Integer(
        L"Width", [](const K& o) { return o.width; }, [changed](K& o, std::int64_t v) { o.width = int(v), changed(o); },
        50);
    p.Integer(
        L"MinWidth", [](const K& o) { return o.minWidth; },
        [changed](K& o, std::int64_t v) { o.minWidth = int(v), changed(o); }, 0);
    p.Enumeration(
        L"Alignment", AlignmentNames(), [](const K& o) { return static_cast<int>(o.alignment); },
        [changed](K& o, std::int64_t v) { o.alignment = static_cast<TAlignment>(v), changed(o); });
    p.Enumeration(
        L"ColumnType", ListColumnTypeNames(), [](const K& o) { return static_cast<int>(o.columnType); },
        [changed](K& o, std::int64_t v) { o.columnType = static_cast<TListColumnType>(v), changed(o); });
    p.Integer(
        L"TextOffset", [](const K& o) { return o.textOffset; },
        [changed](K& o, std::int64_t v) { o.textOffset = int(v), changed(o); }, 0);
    auto flag = [&](const wchar_t* name, bool K::*field, bool def) {
      p.Boolean(
          name, [field](const K& o) { return o.*field; }, [field, changed](K& o, bool v) { o.*field = v, changed(o); },
          def);
    };
    flag(L"FixedWidth", &K::fixedWidth, false);
    flag(L"ShowHeaderHover", &K::showHeaderHover, true);
    flag(L"ShowHeaderDividing", &K::showHeaderDividing, true);
    flag(L"AutoClickSort", &K::autoClickSort, true);
    flag(L"Enabled", &K::enabled, true);
    p.Strings(
        L"ComboBoxItems", [](const K& o) { return o.comboBoxItems; },
        [](K& o, const std::vector<std::wstring>& v) { o.comboBoxItems = v; });
    return c;
  }();
  return info;
}

}  // namespace nudgelet::ui
