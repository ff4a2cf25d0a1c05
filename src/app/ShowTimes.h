#pragma once
// "SoftTip.ini": the day the reminder last showed each product. The reminder
// shows only when nothing it lists was shown today and at least one product
// was last shown a week ago or never, so it neither nags nor falls silent.

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "detection/UpdateList.h"
#include "platform/FileSystem.h"

namespace nudgelet::app {

inline constexpr wchar_t kShowTimesFile[] = L"SoftTip.ini";

// The key a row's show time is kept under: 64-bit programs apart from 32-bit ones.
std::wstring ShowTimeKey(const detection::TViewdata& row);

// Whether the tip may show now, from the listed rows in their order.
bool ShouldShowTip(const std::vector<const detection::TViewdata*>& rows, const platform::FileSystem& files,
                   const std::wstring& path, TDateTime now);

// Writes today for every listed row and nothing else. The new file replaces the
// old one in one step: a process ended meanwhile leaves the old file whole.
// Answers the system's error code, 0 on success.
std::uint32_t RecordShowTimes(const std::vector<const detection::TViewdata*>& rows, const platform::FileSystem& files,
                              const std::wstring& path, TDateTime now);

}  // namespace nudgelet::app
