#include "app/ShowTimes.h"

#include <cmath>
#include <cwchar>

#include "settings/SafeIniFile.h"

namespace nudgelet::app {
namespace {

std::wstring IsoDay(TDateTime t) { return FormatIsoDate(DecodeDateTime(t)); }

// A day number as text, read the way the file was written; text that is no
// number counts as never shown.
TDateTime ReadDay(const std::wstring& text) {
  if (text.empty()) return 0;
  wchar_t* end = nullptr;
  const double value = std::wcstod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace

std::wstring ShowTimeKey(const detection::TViewdata& row) {
  return row.BitText == L"1" ? L"ShowTime64" : L"ShowTime32";
}

bool ShouldShowTip(const std::vector<const detection::TViewdata*>& rows, const platform::FileSystem& files,
                   const std::wstring& path, TDateTime now) {
  TSafeIniFile ini(files, path);
  bool show = false;
  for (const detection::TViewdata* row : rows) {
    if (!row || !row->Listed) continue;
    const TDateTime shown = ReadDay(ini.ReadString(row->Key, ShowTimeKey(*row), L"0"));
    if (IsoDay(shown) == IsoDay(now)) return false;
    if (std::floor(now) - std::floor(shown) >= 7) show = true;
  }
  return show;
}

std::uint32_t RecordShowTimes(const std::vector<const detection::TViewdata*>& rows, const platform::FileSystem& files,
                              const std::wstring& path, TDateTime now) {
  TSafeIniFile ini(files, path);
  ini.LoadFromBytes({});  // products no longer listed lose their entries
  const std::wstring today = std::to_wstring(static_cast<long long>(std::floor(now)));
  for (const detection::TViewdata* row : rows) {
    if (row && row->Listed) ini.WriteString(row->Key, ShowTimeKey(*row), today);
  }
  ini.UpdateFile();
  return ini.LastError();
}

}  // namespace nudgelet::app
