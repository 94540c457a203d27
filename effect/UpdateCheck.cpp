#include "effect/UpdateCheck.h"

#include <new>

#include "effect/UpdateFetch.h"
#include "plug/IPlugEditor.h"

// QUILLET_WEB_HOST and QUILLET_WEB_DOMAIN come from the build settings
// (CMakeLists.txt at the top of the tree).

namespace effect {

namespace {

constexpr const char* kTitle = "Check Online for Update";
constexpr int kErrorIcon = 0x10;
constexpr int kInformationIcon = 0x40;
constexpr int kYesNo = 4;

// The reply's leading decimal number as the C library's atoi reads it
// (blanks, then a sign, then digits; no digits is 0), but bounded: false
// when the digits are more than kMaxVersionDigits.
bool LeadingNumber(const std::string& reply, int* number) {
  size_t i = 0;
  while (i < reply.size() && (reply[i] == ' ' || (reply[i] >= '\t' && reply[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < reply.size() && (reply[i] == '+' || reply[i] == '-')) negative = reply[i++] == '-';
  int value = 0;
  int digits = 0;
  for (; i < reply.size() && reply[i] >= '0' && reply[i] <= '9'; ++i) {
    if (++digits > kMaxVersionDigits) return false;
    value = value * 10 + (reply[i] - '0');
  }
  *number = negative ? -value : value;
  return true;
}

// The new version's text from the reply: its first character, ".", its
// second, ".", then the rest from the fourth character when the third is "0",
// else from the third (1103 -> 1.1.3, 1112 -> 1.1.12, 2000 -> 2.0.0). Every
// position is checked against the reply's length.
std::string VersionText(const std::string& reply) {
  auto at = [&reply](size_t i) { return i < reply.size() ? std::string(1, reply[i]) : ""; };
  std::string text = at(0) + "." + at(1) + ".";
  const size_t restFrom = (reply.size() > 2 && reply[2] == '0') ? 3 : 2;
  if (restFrom < reply.size()) text += reply.substr(restFrom);
  return text;
}

UpdateVerdict ErrorVerdict(int status, const UpdateServer& server) {
  UpdateVerdict v;
  v.status = status;
  v.text = "An error occurred while contacting " + server.domain + ".";
  v.title = kTitle;
  v.messageBoxType = kErrorIcon;
  return v;
}

}  // namespace

std::string UpdateServer::WebSite() const {
  return "http://" + host + (port != 80 ? ":" + std::to_string(port) : std::string());
}

std::string UpdateServer::HomePage() const { return WebSite() + "/"; }

std::string UpdateServer::DownloadPage() const { return WebSite() + "/music/vst.html"; }

UpdateServer MakersUpdateServer() {
  UpdateServer server;
  server.host = QUILLET_WEB_HOST;
  server.domain = QUILLET_WEB_DOMAIN;
  return server;
}

std::string UpdateProduct::RequestPath() const {
  std::string shortName = name;
  for (char& c : shortName) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return "music/version/?file=" + shortName;
}

UpdateVerdict JudgeReply(const std::string& reply, bool tooLong, const UpdateProduct& product,
                         const UpdateServer& server) {
  try {
    if (reply.empty() && !tooLong) return ErrorVerdict(UpdateVerdict::kNoReply, server);
    int number = 0;
    if (tooLong || reply.find('<') != std::string::npos || !LeadingNumber(reply, &number)) {
      UpdateVerdict v;
      v.status = UpdateVerdict::kInvalidReply;
      v.text = "Invalid call to " + server.domain + ".";
      v.title = kTitle;
      v.messageBoxType = kErrorIcon;
      return v;
    }
    UpdateVerdict v;
    if (number <= product.versionNumber) {
      v.text = "Your version is up to date.";
      v.title = kTitle;
      v.messageBoxType = kInformationIcon;
      return v;
    }
    v.text = "A new version of " + product.name + " is available.\n\n" + "\tYour version: \t" +
             product.versionText + "\n" + "\tNew version: \t" + VersionText(reply) + "\n" +
             "\nDo you want to go to " + server.WebSite() + " to get the new version?";
    v.title = "New Version of " + product.name + " Detected";
    v.messageBoxType = kYesNo;
    v.offerDownload = true;
    return v;
  } catch (const std::bad_alloc&) {
    return ErrorVerdict(UpdateVerdict::kComposeFailed, server);
  }
}

int RunUpdateCheck(plug::IPlugEditor* editor, const UpdateProduct& product,
                   const UpdateServer& server) {
  const FetchedReply reply = FetchVersionReply(product, server);
  const UpdateVerdict verdict = JudgeReply(reply.body, reply.tooLong, product, server);
  if (!editor) return verdict.status;
  const int answer =
      editor->ShowMessageBox(verdict.text.c_str(), verdict.title.c_str(), verdict.messageBoxType);
  if (verdict.offerDownload && answer == kAnswerYes)
    editor->OpenUrl(server.DownloadPage().c_str(), nullptr, nullptr, nullptr);
  return verdict.status;
}

}  // namespace effect
