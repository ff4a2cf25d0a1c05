#include "usagecounter/WinHttpLibrary.h"

#include "platform/win32/SystemLibrary.h"

namespace nudgelet::usagecounter {

const WinHttpFunctions* WinHttp() {
  using platform::win32::BindExport;
  static const WinHttpFunctions* const functions = []() -> const WinHttpFunctions* {
    const HMODULE m = platform::win32::LoadSystemLibrary(L"winhttp.dll");
    static WinHttpFunctions f{};
    const bool bound =
        m && BindExport(m, "WinHttpCloseHandle", f.CloseHandle) && BindExport(m, "WinHttpCrackUrl", f.CrackUrl) &&
        BindExport(m, "WinHttpOpen", f.Open) && BindExport(m, "WinHttpSetTimeouts", f.SetTimeouts) &&
        BindExport(m, "WinHttpConnect", f.Connect) && BindExport(m, "WinHttpOpenRequest", f.OpenRequest) &&
        BindExport(m, "WinHttpSetOption", f.SetOption) && BindExport(m, "WinHttpSendRequest", f.SendRequest) &&
        BindExport(m, "WinHttpReceiveResponse", f.ReceiveResponse) &&
        BindExport(m, "WinHttpQueryHeaders", f.QueryHeaders);
    return bound ? &f : nullptr;
  }();
  return functions;
}

}  // namespace nudgelet::usagecounter
