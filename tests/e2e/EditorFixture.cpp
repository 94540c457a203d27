#include "EditorFixture.h"

#include <memory>

#include "lice/LICE_MemBitmap.h"

namespace e2e_editor {

void ShippedEditor::SetUp() {
  std::string error;
  ASSERT_EQ(plugin_.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  plugin_.open();
  plugin_.setSampleRate(44100.0f);
  plugin_.setBlockSize(512);
  plugin_.resume();
}

void ShippedEditor::Open() {
  std::string error;
  ASSERT_TRUE(window_.open(&plugin_, 0, 0, &error)) << error;
  vsthost::EditorWindow::pump(150);
}

std::string ShippedEditor::Gestures() {
  std::string s;
  for (const vsthost::HostCall& c : plugin_.host().calls()) {
    const char* kind = c.opcode == vst::audioMasterBeginEdit  ? "b"
                       : c.opcode == vst::audioMasterAutomate ? "a"
                       : c.opcode == vst::audioMasterEndEdit  ? "e"
                                                              : nullptr;
    if (kind) s += (s.empty() ? "" : " ") + std::string(kind) + std::to_string(c.index);
  }
  return s;
}

std::vector<LICE_pixel> ShippedEditor::Pixels(int left, int top, int right, int bottom) {
  std::unique_ptr<LICE_MemBitmap> picture(window_.capture());
  std::vector<LICE_pixel> pixels;
  if (!picture) return pixels;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      pixels.push_back(picture->Bits()[y * picture->RowSpan() + x]);
  return pixels;
}

}  // namespace e2e_editor
