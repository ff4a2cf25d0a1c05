#pragma once
// A tiny HTTP server on 127.0.0.1 and a free port, for tests of code that
// posts: it records every request and answers each one the way the test asks,
// including never. Nothing outside the machine is ever involved.

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nudgelet::testing {

struct HttpRequest {
  std::string method;
  std::string target;
  std::string headers;  // raw header lines
  std::string body;
};

class LoopbackHttpServer {
 public:
  // Redirect answers 302 to "/elsewhere" on this server, and 200 there.
  enum class Reply { Ok, ServerError, Never, Redirect };

  // beforeReply runs on the server thread after a request was read and before
  // it is answered, while the client waits for the answer.
  explicit LoopbackHttpServer(Reply reply, std::function<void()> beforeReply = {});
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool Listening() const { return listener_ != INVALID_SOCKET; }
  unsigned short Port() const { return port_; }
  std::wstring Url(const std::wstring& path) const;

  std::vector<HttpRequest> Requests() const;
  int Connections() const { return connections_; }

  // A port on 127.0.0.1 where nothing listens (just released by the system).
  static unsigned short UnusedPort();

 private:
  void Serve();
  void Handle(SOCKET client);

  Reply reply_;
  std::function<void()> beforeReply_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<HttpRequest> requests_;
  std::thread thread_;
};

}  // namespace nudgelet::testing
