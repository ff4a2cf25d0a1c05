#include "skin/win32/SystemColors.h"

#include <windows.h>

namespace nudgelet::skin::win32 {

void UseSystemColors(ColorTable& table) {
  table.SetSystemColors([](int index) { return static_cast<Color>(::GetSysColor(index)); });
}

}  // namespace nudgelet::skin::win32
