#include <winsock2.h>

#include "LoopbackHttpServer.h"

namespace effect_test {

namespace {

struct WinsockUse {
  WinsockUse() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

SOCKET Listen(int* port) {
  static WinsockUse winsock;
  SOCKET fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd == INVALID_SOCKET) return INVALID_SOCKET;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(fd);
    return INVALID_SOCKET;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

bool Readable(SOCKET fd, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  timeval wait = {ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &wait) == 1;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::string body, Behaviour behaviour)
    : body_(std::move(body)), behaviour_(behaviour) {
  const SOCKET fd = Listen(&port_);
  listener_ = fd == INVALID_SOCKET ? -1 : static_cast<intptr_t>(fd);
  if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) closesocket(static_cast<SOCKET>(listener_));
}

std::string LoopbackHttpServer::LastRequest() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lastRequest_;
}

int LoopbackHttpServer::ClosedPort() {
  int port = 0;
  const SOCKET fd = Listen(&port);
  if (fd != INVALID_SOCKET) closesocket(fd);
  return port;
}

void LoopbackHttpServer::Serve() {
  const SOCKET listener = static_cast<SOCKET>(listener_);
  while (!stop_.load()) {
    if (!Readable(listener, 20)) continue;
    const SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && Readable(client, 2000)) {
      const int n = recv(client, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      request.append(chunk, static_cast<size_t>(n));
    }
    {
      std::lock_guard<std::mutex> hold(mutex_);
      lastRequest_ = request;
    }
    requests_.fetch_add(1);
    if (behaviour_ == Behaviour::kSilent) {
      while (!stop_.load()) Sleep(10);
    } else {
      const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                std::to_string(body_.size()) + "\r\n\r\n" + body_;
      size_t sent = 0;
      while (sent < reply.size()) {
        const int n = send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
    }
    closesocket(client);
  }
}

}  // namespace effect_test
