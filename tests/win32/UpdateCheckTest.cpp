#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The update check over the real WinHTTP client against a loopback server, with
// its answers handed over by a window's message loop as the main window does.

#include "about/UpdateCheck.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Http.h"
#include "support/FakeShell.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;
using dovoviza::win32::Win32HttpClient;

namespace {

constexpr const char* kLatest = "You already have the latest version.";
const std::string kOffer21 = "New version available!\r\nVersion: 2.1\r\n\r\nWould you like it?";

std::string Response(const std::string& body, const char* status = "200 OK") {
    return std::string("HTTP/1.1 ") + status + "\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// Answers the connections on a 127.0.0.1 port in the order they come, one
// scripted reply each (after a delay); a connection without a reply is held
// open and never answered.
class LocalServer {
public:
    struct Reply {
        std::string raw;
        DWORD delayMs = 0;
    };
    explicit LocalServer(std::vector<Reply> replies) : replies_(std::move(replies)) {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        if (listener_ == INVALID_SOCKET ||
            bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(listener_, 4) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (std::size_t n = 0;; ++n) {
                const SOCKET client = accept(listener_, nullptr, nullptr);
                if (client == INVALID_SOCKET) return;
                ++accepted_;
                const Reply reply = n < replies_.size() ? replies_[n] : Reply{};
                handlers_.emplace_back([this, client, reply] { Serve(client, reply); });
            }
        });
    }
    ~LocalServer() {
        SetEvent(stop_.get());
        if (listener_ != INVALID_SOCKET) closesocket(listener_);
        if (acceptor_.joinable()) acceptor_.join();
        for (auto& handler : handlers_) handler.join();
    }
    int Port() const { return port_; }
    int Accepted() const { return accepted_; }

private:
    void Serve(SOCKET client, const Reply& reply) {
        std::string request;
        char buffer[512];
        int got = 0;
        while (request.find("\r\n\r\n") == std::string::npos &&
               (got = recv(client, buffer, sizeof(buffer), 0)) > 0)
            request.append(buffer, got);
        WaitForSingleObject(stop_.get(), reply.raw.empty() ? INFINITE : reply.delayMs);
        if (!reply.raw.empty()) {
            send(client, reply.raw.data(), static_cast<int>(reply.raw.size()), 0);
            shutdown(client, SD_SEND);
        }
        closesocket(client);
    }

    std::vector<Reply> replies_;
    win32::UniqueHandle stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::thread acceptor_;
    std::vector<std::thread> handlers_;
};

// A message-only window that hands the client's answers to the update check,
// as the main window does.
class UpdateCheckWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data{};
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"UpdateCheckTestWindow";
        if (!RegisterClassW(&windowClass)) {
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
        }
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        http_ = std::make_unique<Win32HttpClient>(window_, win32::kHttpAnswerMessage);
        texts.Set("Main", "47", "New version available!");
        texts.Set("Main", "48", "Would you like it?");
        texts.Set("Main", "49", kLatest);
        texts.Set("About", "2", "Version:");
    }
    void TearDown() override {
        check_.reset();
        http_.reset();
        if (window_) DestroyWindow(window_);
        WSACleanup();
    }

    UpdateCheck& CheckOn(int port) {
        check_ = std::make_unique<UpdateCheck>(*http_, texts, prompt, shell, system,
                                               UpdateServer{"127.0.0.1", port, "http://home/"});
        return *check_;
    }
    // Runs the message loop until the condition holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 3000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > limitMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        return true;
    }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self =
            reinterpret_cast<UpdateCheckWindowTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_TIMER) ++self->ticks;
        if (self && message == win32::kHttpAnswerMessage) {
            ++self->posted;
            if (!self->http_) return 0;
            if (auto answer = self->http_->TakeAnswer(wParam)) {
                ++self->delivered;
                self->check_->OnAnswer(*answer);
            }
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    FakeTexts texts;
    ScriptedPrompt prompt;
    FakeShell shell;
    FakeSystem system;
    int posted = 0;
    int delivered = 0;
    int ticks = 0;
    HWND window_ = nullptr;
    std::unique_ptr<Win32HttpClient> http_;
    std::unique_ptr<UpdateCheck> check_;
};

TEST_F(UpdateCheckWindowTest, ShowsWhatTheServersAnswerMeans) {
    struct Case {
        const char* name;
        std::string reply;  // empty: nothing listens on the port
        std::string shown;  // empty: nothing shown
    };
    const std::vector<Case> cases = {
        {"newer", Response("2.1"), kOffer21},
        {"newer major, same minor", Response("3.0"), kLatest},
        {"same", Response("2.0"), kLatest},
        {"ends in a line break", Response("2.1\r\n"), kLatest},
        {"error page", Response("2.1", "404 Not Found"), ""},
        {"too long", Response("2" + std::string(5000, ' ') + "1"), ""},
        {"refused", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.calls.clear();
        delivered = 0;
        std::optional<LocalServer> server;
        // Without a reply: a port that was free a moment ago, so the connection is refused.
        const int port = c.reply.empty()
                             ? LocalServer({}).Port()
                             : server.emplace(std::vector<LocalServer::Reply>{{c.reply}}).Port();
        ASSERT_NE(port, 0);
        CheckOn(port).Start();
        ASSERT_TRUE(PumpUntil([&] { return delivered == 1; }));
        EXPECT_FALSE(check_->Running());
        ASSERT_EQ(prompt.calls.size(), c.shown.empty() ? 0u : 1u);
        if (!c.shown.empty()) {
            EXPECT_EQ(prompt.calls[0].text, c.shown);
        }
    }
}

TEST_F(UpdateCheckWindowTest, ASilentServerTimesOutWhileTheWindowKeepsWorking) {
    LocalServer server({{""}});
    ASSERT_NE(SetTimer(window_, 1, 20, nullptr), 0u);
    // The click returns before any answer; the window's timer keeps ticking
    // until the failed answer comes.
    CheckOn(server.Port()).Start();
    EXPECT_EQ(delivered, 0);
    EXPECT_TRUE(check_->Running());
    ASSERT_TRUE(PumpUntil([&] { return delivered == 1; }, 4000));
    EXPECT_GE(ticks, 10);
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(check_->Running());
    KillTimer(window_, 1);
}

TEST_F(UpdateCheckWindowTest, ClosingTheClientAbortsItsRequestAndPostsNothing) {
    LocalServer server({{""}});
    CheckOn(server.Port()).Start();
    for (int i = 0; i < 300 && server.Accepted() == 0; ++i) Sleep(10);
    check_.reset();
    http_.reset();
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(posted, 0);
}

TEST_F(UpdateCheckWindowTest, OfTwoQuickRequestsOnlyTheSecondIsAnswered) {
    // The dropped request's answer comes later, then earlier, than the second's.
    for (const DWORD firstDelay : {400u, 0u}) {
        SCOPED_TRACE(firstDelay);
        prompt.calls.clear();
        delivered = 0;
        LocalServer server({{Response("2.1"), firstDelay}, {Response("2.0"), 400 - firstDelay}});
        UpdateCheck& check = CheckOn(server.Port());
        check.Start();
        // Without pumping, so that the first answer cannot be handled before the second click.
        for (int i = 0; i < 300 && server.Accepted() == 0; ++i) Sleep(10);
        check.Start();
        ASSERT_TRUE(PumpUntil([&] { return delivered == 2; }));
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text, kLatest);
    }
}

}  // namespace
