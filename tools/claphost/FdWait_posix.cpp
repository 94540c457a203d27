#include <poll.h>

#include "tools/claphost/FdWait.h"

namespace claphost {

bool fdReadable(int fd, int waitMs) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, waitMs) > 0 && (p.revents & (POLLIN | POLLERR | POLLHUP)) != 0;
}

}  // namespace claphost
