// The version request through the system's Internet functions.
//
// Their time-outs bound each step but not the whole exchange, and not the
// host-name look-up at all. So the exchange runs on a thread of its own and
// the check waits for it at most the server's waitMs; a thread still busy
// then is left to finish on its own (it stops reading at the deadline, and a
// look-up ends when the system's does). The thread holds a reference to
// this library and gives it back as its very last step
// (FreeLibraryAndExitThread), so a host may unload the library meanwhile.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <string>

#include "effect/UpdateCheck.h"
#include "effect/UpdateFetch.h"

namespace effect {

namespace {

// What the waiting check and the exchange's thread share; the last of the
// two to let go deletes it.
struct Exchange {
  UpdateProduct product;
  UpdateServer server;
  DWORD deadlineTicks = 0;  // GetTickCount() at which the check gives up
  FetchedReply reply;
  std::atomic<bool> finished{false};
  std::atomic<int> holders{2};
  HMODULE module = nullptr;
};

void LetGo(Exchange* exchange) {
  if (exchange->holders.fetch_sub(1) == 1) delete exchange;
}

bool PastDeadline(const Exchange* exchange) {
  return static_cast<LONG>(GetTickCount() - exchange->deadlineTicks) >= 0;
}

void SetTimeouts(HINTERNET handle, DWORD ms) {
  InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

// The request and reply, as the system's Internet functions do them.
FetchedReply Fetch(const Exchange* exchange) {
  const UpdateProduct& product = exchange->product;
  const UpdateServer& server = exchange->server;
  const DWORD stepMs = static_cast<DWORD>(server.waitMs > 0 ? server.waitMs : 1);
  FetchedReply reply;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  HINTERNET internet =
      InternetOpenA(product.name.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (internet) {
    SetTimeouts(internet, stepMs);
    connection =
        InternetConnectA(internet, server.host.c_str(), static_cast<INTERNET_PORT>(server.port),
                         nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  }
  if (connection) {
    SetTimeouts(connection, stepMs);
    const char* accept[] = {"*/*", nullptr};
    // Always from the server: a cached answer could hide a new version.
    request = HttpOpenRequestA(
        connection, "GET", product.RequestPath().c_str(), nullptr, nullptr, accept,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0);
  }
  // The time-outs are set on every handle: some implementations take them
  // from the request, not from the session it was opened in.
  if (request) SetTimeouts(request, stepMs);
  // Proxies on the way are asked for a fresh answer too.
  static const char kNoCache[] = "Cache-Control: no-cache\r\nPragma: no-cache\r\n";
  if (request &&
      HttpSendRequestA(request, kNoCache, static_cast<DWORD>(sizeof kNoCache - 1), nullptr, 0)) {
    char chunk[1024];
    DWORD got = 0;
    bool ended = false;
    while (!PastDeadline(exchange)) {
      if (!InternetReadFile(request, chunk, sizeof chunk, &got)) break;
      if (got == 0) {
        ended = true;
        break;
      }
      const size_t room = kMaxReplyBytes - reply.body.size();
      if (got > room) {
        reply.body.append(chunk, room);
        reply.tooLong = true;
        ended = true;
        break;
      }
      reply.body.append(chunk, got);
    }
    // A reply the server has not finished is no reply.
    if (!ended) reply = FetchedReply();
  }
  // Request, connection, Internet handle: in that order, each also when it
  // was never opened.
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
  return reply;
}

DWORD WINAPI ExchangeThread(void* parameter) {
  Exchange* exchange = static_cast<Exchange*>(parameter);
  exchange->reply = Fetch(exchange);
  exchange->finished.store(true);
  const HMODULE module = exchange->module;
  LetGo(exchange);
  // Nothing of this library runs after this call.
  FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace

FetchedReply FetchVersionReply(const UpdateProduct& product, const UpdateServer& server) {
  Exchange* exchange = new Exchange();
  exchange->product = product;
  exchange->server = server;
  exchange->deadlineTicks =
      GetTickCount() + static_cast<DWORD>(server.waitMs > 0 ? server.waitMs : 0);
  // The thread's own reference to this library.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&ExchangeThread), &exchange->module)) {
    delete exchange;
    return FetchedReply();
  }
  HANDLE thread = CreateThread(nullptr, 0, ExchangeThread, exchange, 0, nullptr);
  if (!thread) {
    FreeLibrary(exchange->module);  // not the last: the host holds the library
    delete exchange;
    return FetchedReply();
  }
  const DWORD waitMs = static_cast<DWORD>(server.waitMs > 0 ? server.waitMs : 0);
  WaitForSingleObject(thread, waitMs);
  CloseHandle(thread);
  FetchedReply reply;
  if (exchange->finished.load()) reply = exchange->reply;
  LetGo(exchange);
  return reply;
}

}  // namespace effect
