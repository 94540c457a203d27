// Asks the maker's server for the current version: one HTTP GET, read until
// the server stops, with the check's time-outs and reply bound. The Windows
// body uses the system's Internet functions, the POSIX one plain sockets.
#pragma once

#include <string>

namespace effect {

struct UpdateServer;
struct UpdateProduct;

struct FetchedReply {
  std::string body;      // empty when nothing could be had
  bool tooLong = false;  // more than kMaxReplyBytes came: body holds the first ones
};

FetchedReply FetchVersionReply(const UpdateProduct& product, const UpdateServer& server);

}  // namespace effect
