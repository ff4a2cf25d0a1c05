#include "support/LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <cctype>
#include <cstdlib>

namespace nudgelet::testing {
namespace {

struct WinsockUse {
  WinsockUse() {
    WSADATA data{};
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockUse() { ::WSACleanup(); }
};

SOCKET ListenOnLoopback(unsigned short& port) {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // the system picks a free port
  int length = sizeof(address);
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(s, 8) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return s;
}

// Waits up to 100 ms for the socket to become readable.
bool Readable(SOCKET s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval wait{0, 100 * 1000};
  return ::select(0, &set, nullptr, nullptr, &wait) > 0;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Reply reply, std::function<void()> beforeReply)
    : reply_(reply), beforeReply_(std::move(beforeReply)) {
  static WinsockUse winsock;
  listener_ = ListenOnLoopback(port_);
  if (listener_ != INVALID_SOCKET) thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
}

std::wstring LoopbackHttpServer::Url(const std::wstring& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

std::vector<HttpRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

unsigned short LoopbackHttpServer::UnusedPort() {
  static WinsockUse winsock;
  unsigned short port = 0;
  SOCKET s = ListenOnLoopback(port);
  if (s != INVALID_SOCKET) ::closesocket(s);
  return port;
}

void LoopbackHttpServer::Serve() {
  while (!stop_) {
    if (!Readable(listener_)) continue;
    SOCKET client = ::accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    ++connections_;
    Handle(client);
    ::closesocket(client);
  }
}

void LoopbackHttpServer::Handle(SOCKET client) {
  std::string data;
  std::size_t headerEnd = std::string::npos;
  std::size_t contentLength = 0;
  char buffer[4096];
  // Read until the headers and the announced body are in, or the client gives up.
  while (!stop_) {
    if (headerEnd == std::string::npos) {
      headerEnd = data.find("\r\n\r\n");
      if (headerEnd != std::string::npos) {
        const std::string head = data.substr(0, headerEnd);
        std::string lower = head;
        for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto at = lower.find("\r\ncontent-length:");
        if (at != std::string::npos) contentLength = std::strtoul(head.c_str() + at + 17, nullptr, 10);
      }
    }
    if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + contentLength) break;
    if (!Readable(client)) continue;
    const int got = ::recv(client, buffer, sizeof(buffer), 0);
    if (got <= 0) return;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  if (headerEnd == std::string::npos) return;

  HttpRequest request;
  const std::size_t lineEnd = data.find("\r\n");
  const std::string requestLine = data.substr(0, lineEnd);
  const std::size_t space1 = requestLine.find(' ');
  const std::size_t space2 = requestLine.find(' ', space1 + 1);
  request.method = requestLine.substr(0, space1);
  request.target = requestLine.substr(space1 + 1, space2 - space1 - 1);
  request.headers = data.substr(lineEnd + 2, headerEnd - lineEnd - 2);
  request.body = data.substr(headerEnd + 4, contentLength);
  const bool redirect = reply_ == Reply::Redirect && request.target != "/elsewhere";
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  if (beforeReply_) beforeReply_();

  if (reply_ == Reply::Never) {
    while (!stop_) ::Sleep(50);
    return;
  }
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
  if (reply_ == Reply::ServerError) {
    answer = "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  } else if (redirect) {
    answer = "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  }
  ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
  ::shutdown(client, SD_SEND);
}

}  // namespace nudgelet::testing
