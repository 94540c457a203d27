// Whether a watched descriptor has something to read, waiting up to waitMs:
// poll natively; Windows hosts watch no descriptors (always false).
#pragma once

namespace claphost {

bool fdReadable(int fd, int waitMs);

}  // namespace claphost
