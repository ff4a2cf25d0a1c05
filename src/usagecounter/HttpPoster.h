#pragma once
// One HTTP(S) POST through WinHTTP, bounded in time. Redirects are not
// followed: the body is only ever handed to the URL the program configured.

#include <string>
#include <string_view>

namespace nudgelet::usagecounter {

struct HttpTimeouts {
  int resolveMs = 3000;
  int connectMs = 3000;
  int sendMs = 5000;
  int receiveMs = 5000;
};

enum class PostOutcome {
  Accepted,      // the server answered 2xx
  Rejected,      // the server answered with another status
  NetworkError,  // no answer: lookup, connection, sending or receiving failed or timed out
  BadUrl,        // not an absolute http:// or https:// URL
};

struct PostResult {
  PostOutcome outcome = PostOutcome::NetworkError;
  unsigned status = 0;  // the HTTP status when the server answered
};

PostResult HttpPost(const std::wstring& url, std::string_view body, const wchar_t* contentType,
                    const HttpTimeouts& timeouts);

}  // namespace nudgelet::usagecounter
