#include "about/UpdateCheck.h"

#include <utility>

#include "about/UpdateServer.h"

namespace dovoviza {
namespace {

// The number a single character starts with: a digit's value, 0 for anything else.
int LeadingNumber(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

UpdateServer ConfiguredUpdateServer() {
    return {build::kUpdateHost, build::kUpdatePort, build::kHomePage};
}

bool IsNewerVersion(std::string_view answer, int major, int minor) {
    const int first = answer.empty() ? 0 : LeadingNumber(answer.front());
    const int last = answer.empty() ? 0 : LeadingNumber(answer.back());
    return first >= major && last > minor;
}

UpdateCheck::UpdateCheck(IHttpClient& http, ITexts& texts, IPrompt& prompt, IShell& shell,
                         ISystem& system, UpdateServer server)
    : http_(http), texts_(texts), prompt_(prompt), shell_(shell), system_(system),
      server_(std::move(server)) {}

void UpdateCheck::Start() {
    HttpRequest request;
    request.host = server_.host;
    request.port = server_.port;
    request.path = kUpdatePath;
    request.timeoutMs = kUpdateTimeoutMs;
    current_ = http_.Get(request);
}

void UpdateCheck::OnAnswer(const HttpAnswer& answer) {
    if (answer.id == 0 || answer.id != current_) return;
    // Over before the box opens: its nested message loop may let the user start another.
    current_ = 0;
    // An error page is not a version number.
    if (!answer.ok || answer.status != 200) return;
    Report(answer.body);
}

void UpdateCheck::Report(const std::string& latest) {
    if (!IsNewerVersion(latest, build::kVersionMajor, build::kVersionMinor)) {
        prompt_.Show(texts_.Get(lang::kLatestVersion), kAppCaption, MsgStyle::Information);
        return;
    }
    const std::string offer = texts_.Get(lang::kNewVersion) + "\r\n" + texts_.Get(lang::kAboutVersion) +
                              " " + latest + "\r\n\r\n" + texts_.Get(lang::kDownloadQuestion);
    // A browser that fails to open leaves nothing to undo.
    if (prompt_.Show(offer, kAppCaption, MsgStyle::Question) == kAnswerYes)
        static_cast<void>(shell_.Open(server_.homePage, "", system_.ProgramFolder()));
}

}  // namespace dovoviza
