#include "EditorFixture.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace quillet_editor_test {

EditorHost* EditorHost::current = nullptr;

vst::intptr VST_CALL EditorHost::Callback(vst::AEffect*, vst::int32 opcode, vst::int32 index,
                                          vst::intptr, void*, float opt) {
  EditorHost* host = current;
  if (!host) return 0;
  // The plug-in tells the host from several threads at once.
  std::lock_guard<std::mutex> hold(host->mutex);
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterBeginEdit:
      host->calls.push_back("b" + std::to_string(index));
      return 1;
    case vst::audioMasterAutomate:
      host->calls.push_back("a" + std::to_string(index));
      host->values.push_back(opt);
      return 1;
    case vst::audioMasterEndEdit:
      host->calls.push_back("e" + std::to_string(index));
      return 1;
    case vst::audioMasterUpdateDisplay:
      host->calls.push_back("d");
      return 1;
    default:
      return 0;
  }
}

int EditorHost::Count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

namespace {
void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}
}  // namespace

plug::IPlugEditor* EditorTest::MakeHeadless(effect::Effect* plugin) {
  return new graphics::IGraphicsHeadless(plugin);
}

void EditorTest::SetUp() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("quillet-editor-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) +
                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(path);
  folder_ = path.string();
  SetVariable("QUILLET_LOCAL_APPDATA", folder_.c_str());
  EditorHost::current = &host_;
  quillet_ = std::make_unique<Quillet>(EditorHost::Callback, MakeHeadless);
  gui_ = dynamic_cast<graphics::IGraphicsHeadless*>(quillet_->GetGraphics());
  ASSERT_NE(gui_, nullptr);
  ASSERT_EQ(gui_->NControls(), kControlCount);
}

void EditorTest::TearDown() {
  if (quillet_) Dispatch(vst::effClose);
  quillet_.release();  // deleted by effClose
  EditorHost::current = nullptr;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

vst::intptr EditorTest::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                                 float opt) {
  return Effect()->dispatcher(Effect(), opcode, index, value, ptr, opt);
}

void EditorTest::OpenEditor() {
  static char parent;
  ASSERT_EQ(Dispatch(vst::effEditOpen, 0, 0, &parent), 1);
  Tick();
}

void EditorTest::SetParameter(int index, float normalized) {
  Effect()->setParameter(Effect(), index, normalized);
}

void EditorTest::SendMidi(unsigned char status, unsigned char data1, unsigned char data2) {
  vst::VstMidiEvent event{};
  event.type = vst::kVstMidiType;
  event.byteSize = sizeof event;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  vst::VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  Dispatch(vst::effProcessEvents, 0, 0, &events);
}

void EditorTest::Click(int x, int y, bool right) {
  graphics::IMouseState s;
  s.left = !right;
  s.right = right;
  gui_->OnMouseDown(x, y, &s);
  gui_->OnMouseUp(x, y, &s);
}

void EditorTest::TickUntilIdle() {
  for (int i = 0; i < graphics::IGraphics::kIdleTicksPerHostIdle + 6; ++i) Tick();
}

}  // namespace quillet_editor_test
