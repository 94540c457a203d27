// The shipped plug-in's editor at 100, 150 and 200 %, the size chosen as a
// user chooses it (the settings file's [Editor] Size): the host's size query
// and the window answer the scaled size, and the same script (press, drag out
// of the window, wheel, double click, a menu item picked with keys) at
// coordinates scaled as the screen shows them gives exactly the host calls
// and values of the 100 % run. The same on every platform.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "EditorFixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace e2e_editor {
namespace {

using vsthost::EditorInput;
using vsthost::EditorWindow;

// Logical to device pixels as the editor places them (rounded half up).
int Device(int logical, int percent) {
  const long long twice = 2LL * logical * percent;
  return static_cast<int>((twice + 100) / 200);  // the script's points are not negative
}

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  SetEnvironmentVariableA(name, value.c_str());
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

// A settings folder of its own holding the user's size choice.
std::string SettingsFolderFor(int percent) {
  const char* base = std::getenv("QUILLET_LOCAL_APPDATA");
  std::filesystem::path folder =
      std::filesystem::path(base && *base ? base : ".") / ("scale-" + std::to_string(percent));
  std::filesystem::create_directories(folder / "VellumMusic");
  std::ofstream ini(folder / "VellumMusic" / "quillet.ini", std::ios::binary | std::ios::trunc);
  ini << "[Editor]\r\nSize=" << percent << "\r\n";
  return folder.string();
}

class ScaledEditor : public ShippedEditor {
 protected:
  void SetUp() override {}
  void TearDown() override {
    ShippedEditor::TearDown();
    if (!savedAppData_.empty()) SetVariable("QUILLET_LOCAL_APPDATA", savedAppData_);
  }
  // Loads the plug-in with the user's size set to percent.
  void LoadAt(int percent) {
    if (savedAppData_.empty()) {
      const char* base = std::getenv("QUILLET_LOCAL_APPDATA");
      savedAppData_ = base ? base : "";
    }
    SetVariable("QUILLET_LOCAL_APPDATA", SettingsFolderFor(percent));
    ShippedEditor::SetUp();
  }
  // Runs the script at percent and returns everything the host heard.
  std::string Script(int percent) {
    auto d = [percent](int v) { return Device(v, percent); };
    std::string heard;
    auto record = [&](const char* step) {
      heard += std::string(step) + ": " + Gestures();
      for (const vsthost::AutomationRecord& a : plugin_.host().automation()) {
        char value[32];
        std::snprintf(value, sizeof value, " %.9g", a.value);
        heard += value;
      }
      heard += "\n";
      plugin_.host().clearRecords();
    };
    plugin_.setParameter(kVolume, 0.25f);
    Open();
    plugin_.host().clearRecords();
    EditorInput input = Input();
    input.press(d(kVolumeX), d(kVolumeY));
    input.moveTo(d(kVolumeX), d(kVolumeY - 20));
    input.moveTo(d(kVolumeX), d(kVolumeY - 31));
    input.moveTo(d(kVolumeX), d(kVolumeY - 7));
    input.release(d(kVolumeX), d(kVolumeY - 7));
    record("drag");
    EditorInput::settle();
    input.press(d(kVolumeX), d(kVolumeY));
    input.moveTo(d(kVolumeX), -d(300));  // far above the window
    input.release(d(kVolumeX), -d(300));
    record("drag out");
    EditorInput::settle();
    // One notch: how X11 joins notches into turns depends on timing.
    input.wheel(d(kVolumeX), d(kVolumeY), -1);
    record("wheel");
    EditorInput::settle();
    input.doubleClick(d(kVolumeX), d(kVolumeY));
    record("double click");
    EditorInput::settle();
    // The grain mode menu: four times down and Return picks "MIDI".
    ChooseMenuItemWithKeys(window_.editorWindow(), d(kModeMenuX), d(kModeMenuY), 4);
    record("menu");
    char value[32];
    std::snprintf(value, sizeof value, "%.9g", plugin_.getParameter(kGrainMode));
    heard += std::string("mode ") + value + "\n";
    return heard;
  }
  std::string savedAppData_;
};

TEST_F(ScaledEditor, TheSameScriptAtEveryScaleGivesTheSameHostCallsAndValues) {
  std::string at100;
  for (int percent : {100, 150, 200}) {
    LoadAt(percent);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, Device(984, percent));
    EXPECT_EQ(rect->bottom - rect->top, Device(432, percent));
    const std::string heard = Script(percent);
    int w = 0, h = 0;
    EditorWindowSize(window_.editorWindow(), &w, &h);
    EXPECT_EQ(w, Device(984, percent));
    EXPECT_EQ(h, Device(432, percent));
    if (percent == 100) {
      at100 = heard;
      std::printf("what the host heard at 100 %%:\n%s", at100.c_str());
      // Every step of the script reached the host.
      for (const char* step : {"drag: b0 a0", "drag out: b0 a0", "wheel: b0 a0",
                               "double click: b0 e0 b0 a0 e0", "menu: b2 a2 a2 e2", "mode 1"})
        EXPECT_NE(at100.find(step), std::string::npos) << step << "\n" << at100;
    } else {
      EXPECT_EQ(heard, at100) << percent << " %";
    }
    window_.close();
    plugin_.unload();
  }
}

}  // namespace
}  // namespace e2e_editor
