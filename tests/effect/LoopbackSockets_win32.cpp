#include <winsock2.h>

#include "LoopbackSockets.h"

namespace effect_test {

namespace {

struct WinsockUse {
  WinsockUse() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

SOCKET Of(intptr_t socket) { return static_cast<SOCKET>(socket); }
intptr_t From(SOCKET socket) {
  return socket == INVALID_SOCKET ? -1 : static_cast<intptr_t>(socket);
}

}  // namespace

intptr_t ListenOnLoopback(int* port) {
  static WinsockUse winsock;
  SOCKET fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd == INVALID_SOCKET) return -1;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return From(fd);
}

intptr_t BindDatagram(const char* address, int port) {
  static WinsockUse winsock;
  SOCKET fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd == INVALID_SOCKET) return -1;
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_port = htons(static_cast<u_short>(port));
  at.sin_addr.s_addr = inet_addr(address);
  if (at.sin_addr.s_addr == INADDR_NONE ||
      bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    closesocket(fd);
    return -1;
  }
  return From(fd);
}

bool SocketReadable(intptr_t socket, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Of(socket), &set);
  timeval wait = {ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &wait) == 1;
}

intptr_t AcceptClient(intptr_t listener) { return From(accept(Of(listener), nullptr, nullptr)); }

int ReceiveSome(intptr_t socket, char* data, int size) { return recv(Of(socket), data, size, 0); }

int SendSome(intptr_t socket, const char* data, int size) {
  return send(Of(socket), data, size, 0);
}

void CloseSocket(intptr_t socket) { closesocket(Of(socket)); }

}  // namespace effect_test
