// Puts a finished file in place of its target in one step, so that a reader
// never sees a half-written output under the final name: files are written to
// a temporary name beside the target and renamed at the end. One header, one
// body per platform (rename() on POSIX replaces atomically; on Windows the
// replacing move needs MoveFileExA).
#pragma once

#include <string>

namespace render {

// The temporary name used while path is being written: same folder, so the
// rename stays on one file system.
std::string temporaryPathFor(const std::string& path);

// Moves from over to, replacing an existing file. False when it failed; the
// temporary file is then removed.
bool replaceFile(const std::string& from, const std::string& to);

}  // namespace render
