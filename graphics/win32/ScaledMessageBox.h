// A message box at the editor's scale. The system's box comes at the scale of
// its window's DPI; when the user chose another editor size than that, the
// box is a dialog of ours instead, laid out in pixels at the editor's scale:
// the system's message font scaled, the system's icon at the scaled size, and
// the buttons, answers and keys of the system's box for the same type (OK,
// OK/Cancel, Abort/Retry/Ignore, Yes/No/Cancel, Yes/No, Retry/Cancel; the
// first button is the default; a button's underlined letter presses it;
// Escape answers Cancel where there is one, OK in a box with only OK, and
// nothing in a Yes/No box). [main]
#pragma once

#include <windows.h>

namespace graphics {

// Runs the box owned by owner (the host's top-level window) in a modal loop
// of its own; the answer (IDOK, IDCANCEL, ..., IDNO), or 0 when no box could
// be made. ratio: the editor's scale over the system's.
int ShowScaledMessageBox(HINSTANCE module, HWND owner, const char* text, const char* caption,
                         UINT type, double ratio);

}  // namespace graphics
