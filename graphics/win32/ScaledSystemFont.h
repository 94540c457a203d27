// The system's menu or message font with its height scaled: what the editor's
// own menus and message boxes use at a size the user chose over the system's.
#pragma once

#include <windows.h>

namespace graphics {

enum class SystemFont { kMenu, kMessage };

// A new font (the caller deletes it), or null; the default GUI font's
// description where the system names none. ratio: the editor's scale over
// the system's.
HFONT CreateScaledSystemFont(SystemFont which, double ratio);

}  // namespace graphics
