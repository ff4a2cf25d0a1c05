#pragma once
// The colour table's system colours from the running Windows, so that
// clBtnFace and friends follow the user's colour scheme.

#include "skin/ColorTable.h"

namespace nudgelet::skin::win32 {

void UseSystemColors(ColorTable& table);

}  // namespace nudgelet::skin::win32
