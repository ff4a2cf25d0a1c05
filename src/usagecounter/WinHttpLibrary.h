#pragma once
// WinHTTP, loaded when the first request goes out. Imported, it was loaded
// with UsageCounter.dll into every program that loads it, with the sockets and
// proxy libraries it brings, though most runs send nothing.

#include <windows.h>

#include <winhttp.h>

namespace nudgelet::usagecounter {

struct WinHttpFunctions {
  decltype(&::WinHttpCloseHandle) CloseHandle;
  decltype(&::WinHttpCrackUrl) CrackUrl;
  decltype(&::WinHttpOpen) Open;
  decltype(&::WinHttpSetTimeouts) SetTimeouts;
  decltype(&::WinHttpConnect) Connect;
  decltype(&::WinHttpOpenRequest) OpenRequest;
  decltype(&::WinHttpSetOption) SetOption;
  decltype(&::WinHttpSendRequest) SendRequest;
  decltype(&::WinHttpReceiveResponse) ReceiveResponse;
  decltype(&::WinHttpQueryHeaders) QueryHeaders;
};

// winhttp.dll from the system folder, loaded on the first call and kept for
// the process; nullptr when it or one of these functions cannot be had.
const WinHttpFunctions* WinHttp();

}  // namespace nudgelet::usagecounter
