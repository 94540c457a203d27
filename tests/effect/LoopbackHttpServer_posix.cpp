#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LoopbackHttpServer.h"

namespace effect_test {

namespace {

int Listen(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

bool Readable(int fd, int ms) {
  pollfd p = {fd, POLLIN, 0};
  return poll(&p, 1, ms) == 1;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::string body, Behaviour behaviour)
    : body_(std::move(body)), behaviour_(behaviour) {
  listener_ = Listen(&port_);
  if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(static_cast<int>(listener_));
}

std::string LoopbackHttpServer::LastRequest() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lastRequest_;
}

int LoopbackHttpServer::ClosedPort() {
  int port = 0;
  const int fd = Listen(&port);
  if (fd >= 0) close(fd);
  return port;
}

void LoopbackHttpServer::Serve() {
  const int listener = static_cast<int>(listener_);
  while (!stop_.load()) {
    if (!Readable(listener, 20)) continue;
    const int client = accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && Readable(client, 2000)) {
      const ssize_t n = recv(client, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      request.append(chunk, static_cast<size_t>(n));
    }
    {
      std::lock_guard<std::mutex> hold(mutex_);
      lastRequest_ = request;
    }
    requests_.fetch_add(1);
    if (behaviour_ == Behaviour::kSilent) {
      while (!stop_.load()) usleep(10000);
    } else {
      const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                std::to_string(body_.size()) + "\r\n\r\n" + body_;
      size_t sent = 0;
      while (sent < reply.size()) {
        const ssize_t n = send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
    }
    close(client);
  }
}

}  // namespace effect_test
