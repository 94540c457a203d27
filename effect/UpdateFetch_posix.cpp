// The version request over a plain socket: HTTP/1.0, so the server answers
// without chunked transfer and closes when done.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "effect/UpdateCheck.h"
#include "effect/UpdateFetch.h"

namespace effect {

namespace {

// Headers beyond this are not a version reply either.
constexpr size_t kMaxHeaderBytes = 16384;

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool WaitFor(int fd, short events) {
  pollfd p = {fd, events, 0};
  int n;
  do {
    n = poll(&p, 1, kTimeoutMs);
  } while (n < 0 && errno == EINTR);
  return n == 1 && (p.revents & (events | POLLHUP)) != 0;
}

// A connected socket to one of the server's addresses, or -1.
int Connect(const UpdateServer& server) {
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(server.host.c_str(), std::to_string(server.port).c_str(), &hints, &found) != 0)
    return -1;
  int connected = -1;
  for (addrinfo* a = found; a && connected < 0; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    // Non-blocking while connecting, so the connection has a time-out too.
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int result = connect(fd, a->ai_addr, a->ai_addrlen);
    if (result != 0 && errno == EINPROGRESS && WaitFor(fd, POLLOUT)) {
      int error = 0;
      socklen_t size = sizeof error;
      if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) result = 0;
    }
    if (result == 0) {
      connected = fd;
    } else {
      close(fd);
    }
  }
  freeaddrinfo(found);
  return connected;
}

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    if (!WaitFor(fd, POLLOUT)) return false;
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

FetchedReply FetchVersionReply(const UpdateProduct& product, const UpdateServer& server) {
  FetchedReply reply;
  Socket socket(Connect(server));
  if (socket.fd() < 0) return reply;
  const std::string hostHeader =
      server.host + (server.port != 80 ? ":" + std::to_string(server.port) : std::string());
  const std::string request = "GET /" + product.RequestPath() + " HTTP/1.0\r\nHost: " + hostHeader +
                              "\r\nUser-Agent: " + product.name +
                              "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
  if (!SendAll(socket.fd(), request)) return reply;

  std::string received;
  size_t bodyStart = std::string::npos;
  char chunk[1024];
  for (;;) {
    if (!WaitFor(socket.fd(), POLLIN)) break;  // time-out: what came so far counts
    const ssize_t n = recv(socket.fd(), chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    received.append(chunk, static_cast<size_t>(n));
    if (bodyStart == std::string::npos) {
      const size_t end = received.find("\r\n\r\n");
      if (end != std::string::npos) {
        bodyStart = end + 4;
      } else if (received.size() > kMaxHeaderBytes) {
        return reply;
      }
    }
    if (bodyStart != std::string::npos && received.size() - bodyStart > kMaxReplyBytes) {
      reply.body = received.substr(bodyStart, kMaxReplyBytes);
      reply.tooLong = true;
      return reply;
    }
  }
  if (bodyStart != std::string::npos) reply.body = received.substr(bodyStart);
  return reply;
}

}  // namespace effect
