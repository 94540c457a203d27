#include "EditorFixture.h"

#include "TestSupport.h"

#include <mutex>

namespace quillet_editor_test {

void EditorHost::NotifyHostParamValue(int paramIndex, double normalized) {
  std::lock_guard<std::mutex> hold(mutex_);
  calls.push_back("a" + std::to_string(paramIndex));
  values.push_back(static_cast<float>(normalized));
}

void EditorHost::Record(const std::string& call) {
  std::lock_guard<std::mutex> hold(mutex_);
  calls.push_back(call);
}

int EditorHost::Count(const std::string& prefix) const {
  std::lock_guard<std::mutex> hold(mutex_);
  int n = 0;
  for (const std::string& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

plug::IPlugEditor* EditorTest::MakeHeadless(effect::Effect* plugin) {
  return new graphics::IGraphicsHeadless(plugin);
}

void EditorTest::SetUp() {
  ASSERT_FALSE(folder_.Path().empty());
  effect_test::SetEnvironment("QUILLET_LOCAL_APPDATA", folder_.Path().c_str());
  quillet_ = std::make_unique<Quillet>(MakeHeadless);
  quillet_->SetHostServices(&host_);
  gui_ = dynamic_cast<graphics::IGraphicsHeadless*>(quillet_->GetGraphics());
  ASSERT_NE(gui_, nullptr);
  ASSERT_EQ(gui_->NControls(), kControlCount);
}

void EditorTest::TearDown() {
  if (quillet_) quillet_->HostCloseEditor();
  quillet_.reset();
  effect_test::SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr);
}

void EditorTest::OpenEditor() {
  static char parent;
  ASSERT_TRUE(quillet_->HostOpenEditor(&parent));
  Tick();
}

void EditorTest::CloseEditor() { quillet_->HostCloseEditor(); }

void EditorTest::HostIdle() {
  quillet_->HostEditorEvents();
  plug::InstanceLock lock(quillet_->Mutex());
  quillet_->HostIdle();
}

void EditorTest::SetParameter(int index, float normalized) {
  plug::InstanceLock lock(quillet_->Mutex());
  quillet_->HostSetParameter(index, normalized);
}

void EditorTest::SendMidi(unsigned char status, unsigned char data1, unsigned char data2) {
  plug::IMidiMessage msg;
  msg.status = status;
  msg.data1 = data1;
  msg.data2 = data2;
  plug::InstanceLock lock(quillet_->Mutex());
  quillet_->HostMidi(&msg);
}

void EditorTest::SelectProgram(int index) {
  plug::InstanceLock lock(quillet_->Mutex());
  quillet_->HostSelectPreset(index);
}

void EditorTest::RenameProgram(const char* name) {
  plug::InstanceLock lock(quillet_->Mutex());
  quillet_->HostRenamePreset(name);
}

plug::StateChunk EditorTest::SaveProgram() {
  plug::InstanceLock lock(quillet_->Mutex());
  plug::StateChunk chunk;
  EXPECT_TRUE(quillet_->HostSaveChunk(&chunk, false));
  return chunk;
}

bool EditorTest::LoadProgram(const plug::StateChunk& chunk) {
  plug::InstanceLock lock(quillet_->Mutex());
  if (quillet_->HostLoadChunk(&chunk, false) < 0) return false;
  quillet_->HostRefreshControls();
  return true;
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
