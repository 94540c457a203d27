#include "LoopbackHttpServer.h"

#include <chrono>

#include "LoopbackSockets.h"

namespace effect_test {

LoopbackHttpServer::LoopbackHttpServer(std::string body, Behaviour behaviour)
    : body_(std::move(body)), behaviour_(behaviour) {
  listener_ = ListenOnLoopback(&port_);
  if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) CloseSocket(listener_);
}

std::string LoopbackHttpServer::LastRequest() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lastRequest_;
}

int LoopbackHttpServer::ClosedPort() {
  int port = 0;
  const intptr_t socket = ListenOnLoopback(&port);
  if (socket >= 0) CloseSocket(socket);
  return port;
}

void LoopbackHttpServer::Serve() {
  while (!stop_.load()) {
    if (!SocketReadable(listener_, 20)) continue;
    const intptr_t client = AcceptClient(listener_);
    if (client < 0) continue;
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && SocketReadable(client, 2000)) {
      const int n = ReceiveSome(client, chunk, sizeof chunk);
      if (n <= 0) break;
      request.append(chunk, static_cast<size_t>(n));
    }
    {
      std::lock_guard<std::mutex> hold(mutex_);
      lastRequest_ = request;
    }
    requests_.fetch_add(1);
    if (behaviour_ == Behaviour::kSilent) {
      while (!stop_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } else if (behaviour_ == Behaviour::kTrickle) {
      // Always a byte before any time-out of a single step: only a bound on
      // the whole wait ends this.
      const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body_;
      for (int ms = 0, i = 0; ms < kTrickleForMs && !stop_.load(); ms += kTrickleMs, ++i) {
        const char byte =
            static_cast<size_t>(i) < reply.size() ? reply[static_cast<size_t>(i)] : ' ';
        if (SendSome(client, &byte, 1) <= 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kTrickleMs));
      }
    } else {
      const std::string cache =
          behaviour_ == Behaviour::kReplyCacheable ? "Cache-Control: public, max-age=3600\r\n" : "";
      const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n" + cache +
                                "Content-Length: " + std::to_string(body_.size()) + "\r\n\r\n" +
                                body_;
      size_t sent = 0;
      while (sent < reply.size()) {
        const int n = SendSome(client, reply.data() + sent, static_cast<int>(reply.size() - sent));
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
    }
    CloseSocket(client);
  }
}

}  // namespace effect_test
