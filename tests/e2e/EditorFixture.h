// The shipped plug-in's editor in a window of our own host, for the editor
// script that both platforms run (EditorTest.cpp) and for their own cases
// (EditorWin32Test.cpp, EditorX11Test.cpp): loading, opening, real input,
// what the host heard and what the screen shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lice/LICE_Types.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginHost.h"

namespace e2e_editor {

// Points and parameters of the panel.
constexpr int kVolumeX = 62, kVolumeY = 198;
constexpr int kModeMenuX = 276, kModeMenuY = 112;
constexpr int kLearnX = 40, kLearnY = 400;
constexpr int kOptionsX = 60, kOptionsY = 60;
constexpr int kGrainMode = 2;
constexpr int kVolume = 0;

// The editor windows of ours inside a host window (-1 when it cannot be asked).
int EditorWindowsIn(void* hostWindow);
// The client size of the editor's window.
void EditorWindowSize(void* editorWindow, int* width, int* height);
// Clicks (x, y) of the editor, where a menu opens, and picks the item downs
// rows down with the keyboard (Down downs times, then Return), the way each
// platform's menus take keys.
void ChooseMenuItemWithKeys(void* editorWindow, int x, int y, int downs);

class ShippedEditor : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { window_.close(); }

  // Opens the editor at (0, 0) and lets it draw.
  void Open();
  vsthost::EditorInput Input() { return vsthost::EditorInput(window_.editorWindow()); }
  // The gesture calls the host received, e.g. "b0 a0 e0".
  std::string Gestures();
  // Pixels of a rectangle of the editor as the screen shows them.
  std::vector<LICE_pixel> Pixels(int left, int top, int right, int bottom);

  vsthost::PluginHost plugin_;
  vsthost::EditorWindow window_;
};

}  // namespace e2e_editor
