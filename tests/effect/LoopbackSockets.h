// The few socket calls the loopback test server makes, over BSD sockets or
// Winsock. A socket is an intptr_t; -1 is none.
#pragma once

#include <cstdint>

namespace effect_test {

// A listening socket on 127.0.0.1 at a port the system picks.
intptr_t ListenOnLoopback(int* port);
// A datagram socket bound to address (dotted IPv4) and port, or -1.
intptr_t BindDatagram(const char* address, int port);
bool SocketReadable(intptr_t socket, int ms);
intptr_t AcceptClient(intptr_t listener);
// Bytes moved, or 0 or less when the peer is gone.
int ReceiveSome(intptr_t socket, char* data, int size);
int SendSome(intptr_t socket, const char* data, int size);
void CloseSocket(intptr_t socket);

}  // namespace effect_test
