// The online update check: on the user's request the plug-in asks the maker's
// web server which version is current, compares it with its own and tells
// the user in a message box; when a newer one exists it offers to open the
// download page.
//
// THE EXCHANGE
//   GET http://<host>[:port]/music/version/?file=<product, lower case>, as
//   agent "<product>", asking the server and every proxy on the way for a
//   fresh answer ("Cache-Control: no-cache" and "Pragma: no-cache"; the
//   Windows build also tells its Internet functions not to answer from or
//   write to their cache): a cached reply could hide a new version. The
//   reply's leading decimal number is the current version, numbered like
//   ours: major * 1000 + minor * 100 + patch (1103 is 1.1.3, 1112 is 1.1.12).
//   A reply with a "<" (an HTML page, such as an error page) is invalid, and
//   so is one longer than kMaxReplyBytes, or one whose number has more than
//   kMaxVersionDigits digits: a version reply is a few bytes, and nothing the
//   server sends may grow without bound inside the host.
//
// THE WAIT
//   The check is synchronous on the user-interface thread and takes no lock
//   of the plug-in. The whole exchange, the host-name look-up included, ends
//   within the server's waitMs (kTimeoutMs, five seconds): a dead name
//   server, a dead network or a server that trickles its reply a byte at a
//   time freeze the host no longer. A reply the server has not finished by
//   then counts as no reply. Nothing is cached and nothing contacts the
//   network but an explicit check.
#pragma once

#include <string>

namespace plug {
class IPlugEditor;
}

namespace effect {

constexpr int kMaxReplyBytes = 4096;
constexpr int kTimeoutMs = 5000;
// A version number has four digits; nine still fit any int.
constexpr int kMaxVersionDigits = 9;
// The answer of a Yes/No message box that opens the download page.
constexpr int kAnswerYes = 6;

// Where the maker's site is. The release build's values are build settings
// (QUILLET_WEB_HOST, QUILLET_WEB_DOMAIN); tests point a check elsewhere.
struct UpdateServer {
  std::string host;         // e.g. "www.vellum-music.example"
  int port = 80;            // plain HTTP
  std::string domain;       // as shown in texts, e.g. "vellum-music.example"
  int waitMs = kTimeoutMs;  // the longest the whole exchange may take

  // "http://host" (with ":port" when it is not 80).
  std::string WebSite() const;
  std::string HomePage() const;      // WebSite() + "/"
  std::string DownloadPage() const;  // WebSite() + "/music/vst.html"
};

// The maker's server, as this build was configured.
UpdateServer MakersUpdateServer();

// What the check knows of the product asking.
struct UpdateProduct {
  std::string name;         // "Quillet": the agent and the name in the messages
  std::string versionText;  // "1.1.2"
  int versionNumber = 0;    // 1102
  // The request path: "music/version/?file=" and the lower-case name.
  std::string RequestPath() const;
};

// The outcome of a reply, as the user sees it.
struct UpdateVerdict {
  enum Status { kOk = 0, kNoReply = -1, kComposeFailed = -2, kInvalidReply = -3 };
  int status = kOk;
  std::string text;
  std::string title;
  int messageBoxType = 0;      // 0x10 error icon, 0x40 information, 4 Yes/No
  bool offerDownload = false;  // Yes opens the download page
};

// Judges a reply. tooLong: the server sent more than kMaxReplyBytes.
UpdateVerdict JudgeReply(const std::string& reply, bool tooLong, const UpdateProduct& product,
                         const UpdateServer& server);

// The whole check: asks the server, shows the verdict through the editor's
// message box and, when the user answers Yes (kAnswerYes, nothing else: a box
// that failed answers 0) to a new version, opens the download page. Returns
// the verdict's status. [main]
int RunUpdateCheck(plug::IPlugEditor* editor, const UpdateProduct& product,
                   const UpdateServer& server);

}  // namespace effect
