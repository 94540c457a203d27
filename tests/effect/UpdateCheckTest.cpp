// The online update check: how a reply becomes the message the user sees,
// and the whole check against a server of the test's own on the loopback
// interface (plain sockets natively, the system's Internet functions under
// Wine).
#include "effect/UpdateCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "LoopbackSockets.h"
#include "plug/IPlugEditor.h"

namespace {

using effect::UpdateVerdict;
using effect_test::LoopbackHttpServer;

constexpr int kErrorIcon = 0x10;
constexpr int kInformationIcon = 0x40;
constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kNo = 7;

effect::UpdateProduct Quillet() {
  effect::UpdateProduct p;
  p.name = "Quillet";
  p.versionText = "1.1.2";
  p.versionNumber = 1102;
  return p;
}

effect::UpdateServer Maker() {
  effect::UpdateServer s;
  s.host = "www.vellum-music.example";
  s.domain = "vellum-music.example";
  return s;
}

UpdateVerdict Judge(const std::string& reply, bool tooLong = false) {
  return effect::JudgeReply(reply, tooLong, Quillet(), Maker());
}

std::string NewVersionText(const std::string& version) {
  return "A new version of Quillet is available.\n\n\tYour version: \t1.1.2\n\tNew version: \t" +
         version +
         "\n\nDo you want to go to http://www.vellum-music.example to get the new "
         "version?";
}

TEST(UpdateReply, AtOrBelowOurVersionIsUpToDate) {
  for (const char* reply : {"1102", "1000", "0", "abc", "1102 is current", "-5000"}) {
    const UpdateVerdict v = Judge(reply);
    EXPECT_EQ(v.status, UpdateVerdict::kOk) << reply;
    EXPECT_EQ(v.text, "Your version is up to date.") << reply;
    EXPECT_EQ(v.title, "Check Online for Update");
    EXPECT_EQ(v.messageBoxType, kInformationIcon);
    EXPECT_FALSE(v.offerDownload);
  }
}

TEST(UpdateReply, ANewerVersionIsOfferedWithItsVersionText) {
  const struct {
    const char* reply;
    const char* version;
  } cases[] = {{"1103", "1.1.3"},    {"1103\n", "1.1.3\n"}, {"1112", "1.1.12"},
               {"2000", "2.0.0"},    {"1210", "1.2.10"},    {"99999", "9.9.999"},
               {" 1103", " .1.103"}, {"+2000", "+.2.00"}};
  for (const auto& c : cases) {
    const UpdateVerdict v = Judge(c.reply);
    EXPECT_EQ(v.status, UpdateVerdict::kOk) << c.reply;
    EXPECT_EQ(v.text, NewVersionText(c.version)) << c.reply;
    EXPECT_EQ(v.title, "New Version of Quillet Detected");
    EXPECT_EQ(v.messageBoxType, kYesNo);
    EXPECT_TRUE(v.offerDownload);
  }
}

TEST(UpdateReply, NoReplyAnHtmlPageOrAnEndlessReplyAreErrors) {
  const UpdateVerdict none = Judge("");
  EXPECT_EQ(none.status, UpdateVerdict::kNoReply);
  EXPECT_EQ(none.text, "An error occurred while contacting vellum-music.example.");
  EXPECT_EQ(none.title, "Check Online for Update");
  EXPECT_EQ(none.messageBoxType, kErrorIcon);
  // A number of a thousand digits is no version either.
  for (const UpdateVerdict& v :
       {Judge("<html><body>404</body></html>"), Judge("2000<br>"), Judge("9999", true),
        Judge(std::string(1000, '9')), Judge("-" + std::string(10, '1'))}) {
    EXPECT_EQ(v.status, UpdateVerdict::kInvalidReply);
    EXPECT_EQ(v.text, "Invalid call to vellum-music.example.");
    EXPECT_EQ(v.messageBoxType, kErrorIcon);
    EXPECT_FALSE(v.offerDownload);
  }
}

TEST(UpdateReply, NineDigitsAreStillANumber) {
  EXPECT_EQ(Judge("999999999").text, NewVersionText("9.9.9999999"));
  EXPECT_EQ(Judge("-999999999").text, "Your version is up to date.");
}

TEST(UpdateServer, AddressesCarryAPortOtherThan80) {
  effect::UpdateServer s = Maker();
  EXPECT_EQ(s.HomePage(), "http://www.vellum-music.example/");
  EXPECT_EQ(s.DownloadPage(), "http://www.vellum-music.example/music/vst.html");
  s.host = "127.0.0.1";
  s.port = 8123;
  EXPECT_EQ(s.WebSite(), "http://127.0.0.1:8123");
  EXPECT_EQ(Quillet().RequestPath(), "music/version/?file=quillet");
}

// An editor that answers message boxes from a script and records everything.
class ScriptedEditor : public plug::IPlugEditor {
 public:
  struct Box {
    std::string text, title;
    int type;
  };
  int Width() const override { return 984; }
  int Height() const override { return 432; }
  void SetParameterFromPlugin(int, double, bool) override {}
  void SetControlsFromPlugin(int, double) override {}
  void PrepareDrawing() override {}
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  bool IsWindowOpen() const override { return true; }
  int ShowMessageBox(const char* text, const char* caption, int type) override {
    boxes.push_back(Box{text, caption, type});
    if (answers.empty()) return 1;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  bool OpenUrl(const char* url, const char* caption, const char* confirm,
               const char* error) override {
    urls.push_back(url);
    EXPECT_EQ(caption, nullptr);
    EXPECT_EQ(confirm, nullptr);
    EXPECT_EQ(error, nullptr);
    return true;
  }
  std::deque<int> answers;
  std::vector<Box> boxes;
  std::vector<std::string> urls;
};

class UpdateCheck : public ::testing::Test {
 protected:
  effect::UpdateServer Loopback(int port) {
    effect::UpdateServer s;
    s.host = "127.0.0.1";
    s.port = port;
    s.domain = "vellum-music.example";
    return s;
  }
  int Run(const effect::UpdateServer& server) {
    const auto start = std::chrono::steady_clock::now();
    const int status = effect::RunUpdateCheck(&editor_, Quillet(), server);
    waitedMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count();
    return status;
  }
  ScriptedEditor editor_;
  long long waitedMs_ = 0;
};

// How much later than its bound a check may end: the bound is on the wait
// for the network, not on the test machine's scheduling.
constexpr long long kLateMs = 1500;

TEST_F(UpdateCheck, AsksOnceWithOurAgentAndPathAndReportsUpToDate) {
  LoopbackHttpServer server("1102");
  ASSERT_NE(server.Port(), 0);
  EXPECT_EQ(Run(Loopback(server.Port())), 0);
  EXPECT_EQ(server.Requests(), 1);
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("GET /music/version/?file=quillet HTTP/1.", 0), 0u) << request;
  EXPECT_NE(request.find("User-Agent: Quillet\r\n"), std::string::npos) << request;
  // The server and every proxy on the way are asked for a fresh answer.
  EXPECT_NE(request.find("Cache-Control: no-cache\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("Pragma: no-cache\r\n"), std::string::npos) << request;
  ASSERT_EQ(editor_.boxes.size(), 1u);
  EXPECT_EQ(editor_.boxes[0].text, "Your version is up to date.");
  EXPECT_EQ(editor_.boxes[0].title, "Check Online for Update");
  EXPECT_EQ(editor_.boxes[0].type, kInformationIcon);
  EXPECT_TRUE(editor_.urls.empty());
}

TEST_F(UpdateCheck, AReplyCachesMayKeepIsAskedForAgainEveryTime) {
  LoopbackHttpServer server("1102", LoopbackHttpServer::Behaviour::kReplyCacheable);
  const effect::UpdateServer at = Loopback(server.Port());
  EXPECT_EQ(Run(at), 0);
  EXPECT_EQ(Run(at), 0);
  EXPECT_EQ(server.Requests(), 2);
  ASSERT_EQ(editor_.boxes.size(), 2u);
  EXPECT_EQ(editor_.boxes[1].text, "Your version is up to date.");
}

TEST_F(UpdateCheck, OnlyYesToANewVersionOpensTheDownloadPage) {
  LoopbackHttpServer server("1103\r\n");
  const effect::UpdateServer at = Loopback(server.Port());
  // No, a box that failed (0, also when the editor went away under it) and
  // any other answer open nothing.
  editor_.answers = {kNo, 0, 1, kYes};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Run(at), 0);
  EXPECT_TRUE(editor_.urls.empty());
  EXPECT_EQ(Run(at), 0);
  ASSERT_EQ(editor_.boxes.size(), 4u);
  EXPECT_EQ(editor_.boxes[3].title, "New Version of Quillet Detected");
  EXPECT_EQ(editor_.boxes[3].type, kYesNo);
  EXPECT_NE(editor_.boxes[3].text.find("\tNew version: \t1.1.3\r\n\n"), std::string::npos);
  EXPECT_NE(editor_.boxes[3].text.find("go to " + at.WebSite() + " to get"), std::string::npos);
  EXPECT_EQ(editor_.urls, (std::vector<std::string>{at.WebSite() + "/music/vst.html"}));
}

TEST_F(UpdateCheck, AnHtmlPageAndAnEndlessReplyAreInvalidCalls) {
  LoopbackHttpServer html("<html><body>Not Found</body></html>");
  EXPECT_EQ(Run(Loopback(html.Port())), UpdateVerdict::kInvalidReply);
  LoopbackHttpServer flood(std::string(1 << 20, '7'));
  EXPECT_EQ(Run(Loopback(flood.Port())), UpdateVerdict::kInvalidReply);
  ASSERT_EQ(editor_.boxes.size(), 2u);
  for (const ScriptedEditor::Box& box : editor_.boxes) {
    EXPECT_EQ(box.text, "Invalid call to vellum-music.example.");
    EXPECT_EQ(box.type, kErrorIcon);
  }
}

// Each failure shows the error message once and nothing else.
void ExpectOneContactError(const ScriptedEditor& editor) {
  ASSERT_EQ(editor.boxes.size(), 1u);
  EXPECT_EQ(editor.boxes[0].text, "An error occurred while contacting vellum-music.example.");
  EXPECT_EQ(editor.boxes[0].title, "Check Online for Update");
  EXPECT_EQ(editor.boxes[0].type, kErrorIcon);
  EXPECT_TRUE(editor.urls.empty());
}

TEST_F(UpdateCheck, AnEmptyReplyIsAContactError) {
  LoopbackHttpServer empty("");
  EXPECT_EQ(Run(Loopback(empty.Port())), UpdateVerdict::kNoReply);
  ExpectOneContactError(editor_);
}

TEST_F(UpdateCheck, NoServerIsAContactError) {
  EXPECT_EQ(Run(Loopback(LoopbackHttpServer::ClosedPort())), UpdateVerdict::kNoReply);
  ExpectOneContactError(editor_);
}

TEST_F(UpdateCheck, ASilentServerIsEndedByTheWholeWait) {
  LoopbackHttpServer silent("", LoopbackHttpServer::Behaviour::kSilent);
  effect::UpdateServer at = Loopback(silent.Port());
  at.waitMs = 1000;
  EXPECT_EQ(Run(at), UpdateVerdict::kNoReply);
  EXPECT_EQ(silent.Requests(), 1);
  EXPECT_LT(waitedMs_, at.waitMs + kLateMs);
  ExpectOneContactError(editor_);
}

TEST_F(UpdateCheck, AServerThatTricklesIsEndedByTheWholeWait) {
  // A byte every 50 ms keeps every single step alive; the reply it has begun
  // ("1103" and blanks) is no reply when the wait ends before it.
  LoopbackHttpServer trickling("1103", LoopbackHttpServer::Behaviour::kTrickle);
  effect::UpdateServer at = Loopback(trickling.Port());
  at.waitMs = 1500;
  EXPECT_EQ(Run(at), UpdateVerdict::kNoReply);
  EXPECT_LT(waitedMs_, at.waitMs + kLateMs);
  ExpectOneContactError(editor_);
}

// Runs only under tests/effect/dead-name-server.sh, which gives the program
// a name server at QUILLET_DEAD_NAME_SERVER (port 53) that it must serve
// itself: it listens and never answers.
TEST_F(UpdateCheck, ADeadNameServerIsEndedByTheWholeWait) {
  const char* nameServer = std::getenv("QUILLET_DEAD_NAME_SERVER");
  if (!nameServer) GTEST_SKIP() << "needs tests/effect/dead-name-server.sh";
  const intptr_t listener = effect_test::BindDatagram(nameServer, 53);
  ASSERT_GE(listener, 0) << nameServer;
  effect::UpdateServer at = Loopback(80);
  at.host = "update.quillet-check.test";
  at.waitMs = 1500;
  EXPECT_EQ(Run(at), UpdateVerdict::kNoReply);
  // The look-up did ask the dead server, and was given up in time.
  EXPECT_TRUE(effect_test::SocketReadable(listener, 0));
  EXPECT_LT(waitedMs_, at.waitMs + kLateMs);
  ExpectOneContactError(editor_);
  effect_test::CloseSocket(listener);
}

}  // namespace
