#include "app/win32/TaskbarButton.h"

#include <shobjidl.h>

#include <string>

namespace nudgelet::app::win32 {

void RemoveTaskbarButton(HWND window, const platform::SystemFacts& system) {
  ITaskbarList2* list = nullptr;
  const HRESULT created = ::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList2,
                                             reinterpret_cast<void**>(&list));
  system.DebugOutput(std::to_wstring(created));
  if (FAILED(created) || !list) return;
  system.DebugOutput(std::to_wstring(list->HrInit()));
  system.DebugOutput(std::to_wstring(list->DeleteTab(window)));
  list->Release();
}

}  // namespace nudgelet::app::win32
