// A tiny HTTP server for the update-check tests, on the loopback interface
// only and on a port the system picks: it answers every request with a fixed
// body (also as a reply any cache may keep for an hour), accepts and never
// answers, or trickles its answer a byte every kTrickleMs (headers, the
// body, then blanks, for kTrickleForMs at most). It serves on a thread of its
// own until it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace effect_test {

class LoopbackHttpServer {
 public:
  enum class Behaviour { kReply, kReplyCacheable, kSilent, kTrickle };
  static constexpr int kTrickleMs = 50;
  static constexpr int kTrickleForMs = 20000;

  explicit LoopbackHttpServer(std::string body, Behaviour behaviour = Behaviour::kReply);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // 0 when the server could not listen.
  int Port() const { return port_; }
  int Requests() const { return requests_.load(); }
  std::string LastRequest() const;

  // A loopback port on which nothing listens (it listened a moment ago).
  static int ClosedPort();

 private:
  void Serve();

  std::string body_;
  Behaviour behaviour_;
  std::intptr_t listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  mutable std::mutex mutex_;
  std::string lastRequest_;
  std::thread thread_;
};

}  // namespace effect_test
