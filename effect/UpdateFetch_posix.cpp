// The version request over a plain socket: HTTP/1.0, so the server answers
// without chunked transfer and closes when done. Every step, the host-name
// look-up included, waits only for what is left of the server's waitMs.
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "effect/UpdateCheck.h"
#include "effect/UpdateFetch.h"

namespace effect {

namespace {

// Headers beyond this are not a version reply either.
constexpr size_t kMaxHeaderBytes = 16384;

class Deadline {
 public:
  explicit Deadline(int ms)
      : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0))) {}
  std::chrono::steady_clock::time_point End() const { return end_; }
  // Milliseconds left, at least 0.
  int LeftMs() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end_ - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
  }

 private:
  std::chrono::steady_clock::time_point end_;
};

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

// The host-name look-up runs on a thread of its own, so that the check can
// stop waiting for it at the deadline (the C library's look-up has no
// time-out of its own). A look-up still running then is left to finish
// alone; as that thread runs this library's code, the library then keeps
// itself loaded for the life of the process, whenever the host unloads it.
struct LookUp {
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  bool abandoned = false;
  addrinfo* found = nullptr;
};

void KeepLibraryLoaded() {
  Dl_info info = {};
  if (!dladdr(reinterpret_cast<void*>(&KeepLibraryLoaded), &info) || !info.dli_fname) return;
  // A reference never given back, on a library already loaded.
  dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// The server's addresses, or null when the look-up failed or the deadline
// came first. The caller frees them with freeaddrinfo.
addrinfo* Resolve(const UpdateServer& server, const Deadline& deadline) {
  const std::shared_ptr<LookUp> lookUp = std::make_shared<LookUp>();
  const std::string host = server.host;
  const std::string port = std::to_string(server.port);
  std::thread worker;
  try {
    worker = std::thread([lookUp, host, port] {
      addrinfo hints = {};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      addrinfo* found = nullptr;
      if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) found = nullptr;
      std::lock_guard<std::mutex> hold(lookUp->lock);
      if (lookUp->abandoned) {
        if (found) freeaddrinfo(found);
        return;
      }
      lookUp->found = found;
      lookUp->done = true;
      lookUp->finished.notify_one();
    });
  } catch (const std::system_error&) {
    return nullptr;  // no thread to be had: no look-up
  }
  std::unique_lock<std::mutex> hold(lookUp->lock);
  lookUp->finished.wait_until(hold, deadline.End(), [&lookUp] { return lookUp->done; });
  if (lookUp->done) {
    hold.unlock();
    worker.join();
    return lookUp->found;
  }
  lookUp->abandoned = true;
  hold.unlock();
  KeepLibraryLoaded();
  worker.detach();
  return nullptr;
}

bool WaitFor(int fd, short events, const Deadline& deadline) {
  pollfd p = {fd, events, 0};
  int n;
  do {
    n = poll(&p, 1, deadline.LeftMs());
  } while (n < 0 && errno == EINTR);
  return n == 1 && (p.revents & (events | POLLHUP)) != 0;
}

// A connected socket to one of the server's addresses, or -1.
int Connect(const UpdateServer& server, const Deadline& deadline) {
  addrinfo* found = Resolve(server, deadline);
  int connected = -1;
  for (addrinfo* a = found; a && connected < 0; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    // Non-blocking, so that connecting, sending and reading all keep to the
    // deadline.
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int result = connect(fd, a->ai_addr, a->ai_addrlen);
    if (result != 0 && errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
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
  if (found) freeaddrinfo(found);
  return connected;
}

bool SendAll(int fd, const std::string& data, const Deadline& deadline) {
  size_t sent = 0;
  while (sent < data.size()) {
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
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
  const Deadline deadline(server.waitMs);
  Socket socket(Connect(server, deadline));
  if (socket.fd() < 0) return reply;
  const std::string hostHeader =
      server.host + (server.port != 80 ? ":" + std::to_string(server.port) : std::string());
  // No cached answer, neither from a proxy nor from the server's own cache.
  const std::string request = "GET /" + product.RequestPath() + " HTTP/1.0\r\nHost: " + hostHeader +
                              "\r\nUser-Agent: " + product.name +
                              "\r\nAccept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache"
                              "\r\nConnection: close\r\n\r\n";
  if (!SendAll(socket.fd(), request, deadline)) return reply;

  std::string received;
  size_t bodyStart = std::string::npos;
  char chunk[1024];
  for (;;) {
    // The deadline before the server finished: no reply, however much came.
    if (!WaitFor(socket.fd(), POLLIN, deadline)) return reply;
    const ssize_t n = recv(socket.fd(), chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) return reply;
    if (n == 0) break;  // the server is done
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
