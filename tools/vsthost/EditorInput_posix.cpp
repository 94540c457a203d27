#include "tools/vsthost/EditorInput.h"

namespace vsthost {

// No editor windows on this system yet: input goes nowhere.
void EditorInput::moveTo(int x, int y) {}
void EditorInput::click(int x, int y, bool right) {}
void EditorInput::press(int x, int y, bool right) {}
void EditorInput::release(int x, int y, bool right) {}
void EditorInput::doubleClick(int x, int y) {}
void EditorInput::wheel(int x, int y, int notches) {}
void EditorInput::key(int virtualKey) {}
void EditorInput::sendKey(int virtualKey) {}
void EditorInput::settle() {}

}  // namespace vsthost
