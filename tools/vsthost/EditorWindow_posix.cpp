#include "tools/vsthost/EditorWindow.h"

namespace vsthost {

EditorWindow::EditorWindow() = default;

EditorWindow::~EditorWindow() { close(); }

bool EditorWindow::open(PluginHost* plugin, int x, int y, std::string* errorText) {
  if (errorText) *errorText = "this host has no editor windows on this system";
  return false;
}

void EditorWindow::close() {}

void EditorWindow::pump(int ms) {}

void* EditorWindow::editorWindow() const { return nullptr; }

LICE_MemBitmap* EditorWindow::capture() { return nullptr; }

}  // namespace vsthost
