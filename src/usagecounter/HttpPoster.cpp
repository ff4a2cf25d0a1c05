#include "usagecounter/HttpPoster.h"

#include "base/Strings.h"
#include "platform/win32/Handles.h"
#include "usagecounter/WinHttpLibrary.h"

namespace nudgelet::usagecounter {
namespace {

// Only handles WinHTTP gave are closed, so it is loaded by then.
inline void CloseInternet(HINTERNET handle) noexcept { WinHttp()->CloseHandle(handle); }
using UniqueInternet = platform::win32::UniqueHandle<platform::win32::NullIsInvalid<HINTERNET, &CloseInternet>>;

constexpr wchar_t kUserAgent[] = L"UsageCounter/1.0";

// A proxy can never reach this machine's own loopback, and system proxy
// settings (or Wine's http_proxy) would otherwise send such requests away.
bool IsLoopbackHost(std::wstring_view host) {
  if (EqualsIgnoreCase(host, L"localhost") || host == L"[::1]" || host == L"::1") return true;
  if (host.substr(0, 4) != L"127.") return false;
  for (wchar_t c : host) {
    if (c != L'.' && (c < L'0' || c > L'9')) return false;
  }
  return true;
}

struct UrlParts {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
};

bool CrackUrl(const WinHttpFunctions& http, const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTS c{};
  c.dwStructSize = sizeof(c);
  c.dwSchemeLength = static_cast<DWORD>(-1);
  c.dwHostNameLength = static_cast<DWORD>(-1);
  c.dwUrlPathLength = static_cast<DWORD>(-1);
  c.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!http.CrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
  if (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (!c.lpszHostName || c.dwHostNameLength == 0) return false;
  parts.secure = c.nScheme == INTERNET_SCHEME_HTTPS;
  parts.host.assign(c.lpszHostName, c.dwHostNameLength);
  parts.port = c.nPort;
  if (c.lpszUrlPath) parts.object.assign(c.lpszUrlPath, c.dwUrlPathLength);
  if (c.lpszExtraInfo) parts.object.append(c.lpszExtraInfo, c.dwExtraInfoLength);
  if (parts.object.empty()) parts.object = L"/";
  return true;
}

}  // namespace

PostResult HttpPost(const std::wstring& url, std::string_view body, const wchar_t* contentType,
                    const HttpTimeouts& timeouts) {
  const WinHttpFunctions* http = WinHttp();
  if (!http) return {};
  UrlParts parts;
  if (url.empty() || !CrackUrl(*http, url, parts)) return {PostOutcome::BadUrl, 0};

  const DWORD access = IsLoopbackHost(parts.host) ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
  UniqueInternet session(http->Open(kUserAgent, access, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return {};
  if (!http->SetTimeouts(session.Get(), timeouts.resolveMs, timeouts.connectMs, timeouts.sendMs, timeouts.receiveMs)) {
    return {};
  }
  UniqueInternet connection(http->Connect(session.Get(), parts.host.c_str(), parts.port, 0));
  if (!connection) return {};
  UniqueInternet request(http->OpenRequest(connection.Get(), L"POST", parts.object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, parts.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return {};
  DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
  http->SetOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof(noRedirects));
  // Waiting for the answer's headers has a limit of its own, not always the
  // receive timeout; a server that accepts and never answers must not hold
  // the caller longer than a read would.
  DWORD responseTimeout = static_cast<DWORD>(timeouts.receiveMs);
  if (!http->SetOption(request.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                       sizeof(responseTimeout))) {
    return {};
  }

  const std::wstring headers = std::wstring(L"Content-Type: ") + contentType + L"\r\n";
  const auto length = static_cast<DWORD>(body.size());
  if (!http->SendRequest(request.Get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                         const_cast<char*>(body.data()), length, length, 0) ||
      !http->ReceiveResponse(request.Get(), nullptr)) {
    return {};
  }
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!http->QueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  return {status >= 200 && status < 300 ? PostOutcome::Accepted : PostOutcome::Rejected, status};
}

}  // namespace nudgelet::usagecounter
