#pragma once
// System libraries that are loaded when first needed rather than imported,
// because most runs never need them and loading costs every run.

#include <windows.h>

namespace nudgelet::platform::win32 {

// The library from the system folder, and only from there: one of that name
// beside the program is not the system's. It stays loaded for the process.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Points function at the library's export of that name; false when there is none.
template <typename Function>
bool BindExport(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace nudgelet::platform::win32
