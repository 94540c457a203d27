// The editor embedded as a CLAP host embeds it: its life cycle leaves no
// window, timer or descriptor behind, and a drag with the real pointer
// reaches the host as one gesture: begin, values, end.
#include <utility>
#include <vector>

#include "e2e/clap/ClapFixture.h"
#include "e2e/clap/ClapHostWindow.h"
#include "tools/vsthost/EditorInput.h"

namespace e2e_clap {

namespace {

constexpr int kVolumeX = 62, kVolumeY = 198;

class ShippedClapEditor : public ShippedClap {
 protected:
  void SetUp() override {
    ShippedClap::SetUp();
    ASSERT_NE(window_.handle(), nullptr);
  }
  void Open() {
    ASSERT_TRUE(host_.openGui(window_.handle()));
    ClapHostWindow::pump(&host_, 200);
  }
  ClapHostWindow window_;
};

// "b0 v0 v0 e0" for the gesture events the host received.
std::string Gestures(const claphost::EventStore& events) {
  std::string text;
  for (std::uint32_t i = 0; i < events.size(); ++i) {
    const clap::EventHeader* e = events.at(i);
    if (e->type == clap::kEventParamGestureBegin || e->type == clap::kEventParamGestureEnd) {
      const auto* g = reinterpret_cast<const clap::EventParamGesture*>(e);
      text +=
          (e->type == clap::kEventParamGestureBegin ? "b" : "e") + std::to_string(g->paramId) + " ";
    } else if (e->type == clap::kEventParamValue) {
      text +=
          "v" + std::to_string(reinterpret_cast<const clap::EventParamValue*>(e)->paramId) + " ";
    }
  }
  return text;
}

}  // namespace

TEST_F(ShippedClapEditor, OpenCloseReopenAndDestroyLeaveNothingBehind) {
  const clap::PluginGui* gui = host_.gui();
  ASSERT_NE(gui, nullptr);
  std::uint32_t w = 0, h = 0;
  ASSERT_TRUE(gui->getSize(host_.plugin(), &w, &h));
  EXPECT_EQ(w, 984u);
  EXPECT_EQ(h, 432u);
  EXPECT_FALSE(gui->canResize(host_.plugin()));
  EXPECT_FALSE(gui->isApiSupported(host_.plugin(), "cocoa", false));
  EXPECT_FALSE(gui->create(host_.plugin(), nullptr, true));  // floating: not offered

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Open();
    EXPECT_EQ(window_.childCount(), 1);
    EXPECT_EQ(host_.timerCount(), 1u);
#if !defined(_WIN32)
    // The X connection, watched by the host.
    EXPECT_EQ(host_.fdCount(), 1u);
#endif
    EXPECT_FALSE(gui->setSize(host_.plugin(), 500, 300));
    host_.closeGui();
    ClapHostWindow::pump(&host_, 50);
    EXPECT_EQ(window_.childCount(), 0);
    EXPECT_EQ(host_.timerCount(), 0u);
    EXPECT_EQ(host_.fdCount(), 0u);
  }
  // Destroyed with the window open: the instance takes it all along.
  Open();
  EXPECT_EQ(window_.childCount(), 1);
  host_.destroy();
  ClapHostWindow::pump(&host_, 50);
  EXPECT_EQ(window_.childCount(), 0);
  EXPECT_EQ(host_.timerCount(), 0u);
  EXPECT_EQ(host_.fdCount(), 0u);
  EXPECT_EQ(host_.record().offThreadCalls, 0);
}

// The host's scale sizes the editor: given before the window opens it is the
// size the host is told; with the window open the editor asks with
// request_resize and answers the new size from inside the request, and a
// host that refuses leaves the editor at its size.
TEST_F(ShippedClapEditor, TheHostScaleSizesTheEditorAndARefusedResizeKeepsItsSize) {
  const clap::PluginGui* gui = host_.gui();
  ASSERT_NE(gui, nullptr);
  host_.setGuiScale(2.0);
  Open();
  std::uint32_t w = 0, h = 0;
  ASSERT_TRUE(gui->getSize(host_.plugin(), &w, &h));
  EXPECT_EQ(w, 1968u);
  EXPECT_EQ(h, 864u);
  EXPECT_TRUE(host_.record().resizeRequests.empty());
  using Sizes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

  host_.setResizeAnswer(true);
  EXPECT_TRUE(gui->setScale(host_.plugin(), 1.0));
  EXPECT_EQ(host_.record().resizeRequests, (Sizes{{984, 432}}));
  EXPECT_EQ(host_.record().sizeDuringResize, (Sizes{{984, 432}}));
  ASSERT_TRUE(gui->getSize(host_.plugin(), &w, &h));
  EXPECT_EQ(w, 984u);
  EXPECT_EQ(h, 432u);
  EXPECT_TRUE(gui->setSize(host_.plugin(), 984, 432));

  host_.setResizeAnswer(false);
  EXPECT_TRUE(gui->setScale(host_.plugin(), 2.0));
  EXPECT_EQ(host_.record().resizeRequests, (Sizes{{984, 432}, {1968, 864}}));
  ASSERT_TRUE(gui->getSize(host_.plugin(), &w, &h));
  EXPECT_EQ(w, 984u);
  EXPECT_EQ(h, 432u);
  EXPECT_FALSE(gui->setSize(host_.plugin(), 1968, 864));
  // Not a scale: refused, nothing asked.
  EXPECT_FALSE(gui->setScale(host_.plugin(), -1.0));
  EXPECT_EQ(host_.record().resizeRequests.size(), 2u);
  ClapHostWindow::pump(&host_, 50);
  EXPECT_EQ(window_.childCount(), 1);
}

#if !defined(_WIN32)
// Without the host's timer nothing could run the X11 editor: it is refused.
TEST(ShippedClapEditorHost, X11EditorNeedsTheHostTimer) {
  claphost::ClapPluginHost host;
  host.withhold(clap::kExtTimerSupport);
  std::string error;
  ASSERT_TRUE(host.load(QUILLET_CLAP_PATH, &error)) << error;
  ASSERT_TRUE(host.create(&error)) << error;
  ClapHostWindow window;
  EXPECT_FALSE(host.openGui(window.handle()));
  EXPECT_EQ(window.childCount(), 0);
}
#endif

TEST_F(ShippedClapEditor, ADragIsOneGestureOfValuesInOrder) {
  Open();
  void* editor = window_.firstChild();
  ASSERT_NE(editor, nullptr);
  const double before = host_.paramValue(kVolume);
  vsthost::EditorInput input(editor);
  input.press(kVolumeX, kVolumeY);
  ClapHostWindow::pump(&host_, 60);
  for (int dy = 5; dy <= 40; dy += 5) {
    input.moveTo(kVolumeX, kVolumeY - dy);
    ClapHostWindow::pump(&host_, 30);
  }
  input.release(kVolumeX, kVolumeY - 40);
  ClapHostWindow::pump(&host_, 100);
  EXPECT_GT(host_.record().requestFlush, 0);
  // Not processing: the host flushes, as it does after request_flush.
  host_.flush();
  const std::string gestures = Gestures(host_.output().events());
  ASSERT_GE(gestures.size(), 9u) << gestures;
  EXPECT_EQ(gestures.substr(0, 3), "b0 ");
  EXPECT_EQ(gestures.substr(gestures.size() - 3), "e0 ");
  EXPECT_EQ(gestures.find("b0 ", 1), std::string::npos) << gestures;
  EXPECT_EQ(gestures.find("e0 "), gestures.size() - 3) << gestures;
  EXPECT_NE(gestures.find("v0 "), std::string::npos) << gestures;
  EXPECT_GT(host_.paramValue(kVolume), before);
  EXPECT_EQ(host_.output().outOfOrder(), 0);
  // The last value the host heard is the value the plug-in holds.
  const clap::EventHeader* last = nullptr;
  for (std::uint32_t i = 0; i < host_.output().events().size(); ++i)
    if (host_.output().events().at(i)->type == clap::kEventParamValue)
      last = host_.output().events().at(i);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(reinterpret_cast<const clap::EventParamValue*>(last)->value, host_.paramValue(kVolume));

  // While processing, the same arrives through process.
  host_.output().clear();
  activate();
  vsthost::EditorInput::settle();
  input.press(kVolumeX, kVolumeY);
  ClapHostWindow::pump(&host_, 60);
  input.moveTo(kVolumeX, kVolumeY + 20);
  ClapHostWindow::pump(&host_, 60);
  input.release(kVolumeX, kVolumeY + 20);
  ClapHostWindow::pump(&host_, 100);
  processBlock(64);
  const std::string inProcess = Gestures(host_.output().events());
  ASSERT_GE(inProcess.size(), 9u) << inProcess;
  EXPECT_EQ(inProcess.substr(0, 3), "b0 ") << inProcess;
  EXPECT_EQ(inProcess.substr(inProcess.size() - 3), "e0 ") << inProcess;
}

}  // namespace e2e_clap
