#pragma once
// Help > Check for updates: asks the maker's server for the latest version and
// offers the home page when it is newer.
//
// Wiring on Windows (frmMain): own a win32::Win32HttpClient built with the main
// window's HWND and win32::kHttpAnswerMessage, and an UpdateCheck built on it.
// The menu command calls Start(); the window procedure, on kHttpAnswerMessage,
// does `if (auto answer = http.TakeAnswer(wParam)) updateCheck.OnAnswer(*answer);`.
// Declare the client before the UpdateCheck so that it outlives it.

#include <cstdint>
#include <string>
#include <string_view>

#include "language/Texts.h"
#include "platform/Http.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace dovoviza {

inline constexpr const char* kUpdatePath = "/dovoviza_free.txt";
inline constexpr int kUpdateTimeoutMs = 1000;

struct UpdateServer {
    std::string host;
    int port = 80;
    std::string homePage;
};

// The server and home page the build was configured with.
UpdateServer ConfiguredUpdateServer();

// The server's text names a newer version when its first character's number is
// at least our major and its last character's number is greater than our minor.
// Only those two characters count ("10.5" reads as 1 and 5; "2.1\r\n" ends in 0).
bool IsNewerVersion(std::string_view answer, int major, int minor);

class UpdateCheck {
public:
    UpdateCheck(IHttpClient& http, ITexts& texts, IPrompt& prompt, IShell& shell,
                ISystem& system, UpdateServer server = ConfiguredUpdateServer());

    // The menu click: starts a new request; the answer of any earlier one is ignored.
    void Start();
    // An answer from the client. Only the current request's counts, and only
    // with status 200; a failed one ends the request without a word.
    void OnAnswer(const HttpAnswer& answer);
    bool Running() const { return current_ != 0; }

private:
    void Report(const std::string& latest);

    IHttpClient& http_;
    ITexts& texts_;
    IPrompt& prompt_;
    IShell& shell_;
    ISystem& system_;
    UpdateServer server_;
    std::uint64_t current_ = 0;
};

}  // namespace dovoviza
