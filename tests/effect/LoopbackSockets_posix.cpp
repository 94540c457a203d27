#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LoopbackSockets.h"

namespace effect_test {

intptr_t ListenOnLoopback(int* port) {
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

intptr_t BindDatagram(const char* address, int port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, address, &at.sin_addr) != 1 ||
      bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SocketReadable(intptr_t socket, int ms) {
  pollfd p = {static_cast<int>(socket), POLLIN, 0};
  return poll(&p, 1, ms) == 1;
}

intptr_t AcceptClient(intptr_t listener) {
  const int client = accept(static_cast<int>(listener), nullptr, nullptr);
  return client < 0 ? -1 : client;
}

int ReceiveSome(intptr_t socket, char* data, int size) {
  return static_cast<int>(recv(static_cast<int>(socket), data, static_cast<size_t>(size), 0));
}

// MSG_NOSIGNAL: a client that hung up must not kill the test with SIGPIPE.
int SendSome(intptr_t socket, const char* data, int size) {
  return static_cast<int>(
      send(static_cast<int>(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL));
}

void CloseSocket(intptr_t socket) { close(static_cast<int>(socket)); }

}  // namespace effect_test
