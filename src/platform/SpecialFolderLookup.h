#pragma once
// The special folders as the product's rules ask for them: the shell's answer,
// and for the folders the product cannot do without, a fallback when the shell
// has none.

#include <string>

#include "platform/Platform.h"

namespace nudgelet::platform {

// The shell's folder for a CSIDL, never created. When the shell answers fewer
// than three characters for one of the folders the product cannot do without,
// the folder comes from its environment variable or is built on the system drive.
std::wstring GetSpecialFolder(const platform::Platform& p, int csidl);

}  // namespace nudgelet::platform
