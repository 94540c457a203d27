// The version request through the system's Internet functions.
#include <windows.h>
#include <wininet.h>

#include "effect/UpdateCheck.h"
#include "effect/UpdateFetch.h"

namespace effect {

namespace {

void SetTimeouts(HINTERNET handle) {
  DWORD ms = kTimeoutMs;
  InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

}  // namespace

FetchedReply FetchVersionReply(const UpdateProduct& product, const UpdateServer& server) {
  FetchedReply reply;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  HINTERNET internet =
      InternetOpenA(product.name.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (internet) {
    SetTimeouts(internet);
    connection =
        InternetConnectA(internet, server.host.c_str(), static_cast<INTERNET_PORT>(server.port),
                         nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  }
  if (connection) {
    SetTimeouts(connection);
    const char* accept[] = {"*/*", nullptr};
    // Always from the server: a cached answer could hide a new version.
    request = HttpOpenRequestA(connection, "GET", product.RequestPath().c_str(), nullptr, nullptr,
                               accept, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  }
  // The time-outs are set on every handle: some implementations take them
  // from the request, not from the session it was opened in.
  if (request) SetTimeouts(request);
  if (request && HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    char chunk[1024];
    DWORD got = 0;
    while (InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) {
      const size_t room = kMaxReplyBytes - reply.body.size();
      if (got > room) {
        reply.body.append(chunk, room);
        reply.tooLong = true;
        break;
      }
      reply.body.append(chunk, got);
    }
  }
  // Request, connection, Internet handle: in that order, each also when it
  // was never opened.
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
  return reply;
}

}  // namespace effect
