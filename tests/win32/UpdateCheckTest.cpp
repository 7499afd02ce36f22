// The update check over the real WinHTTP client against a server on the
// loopback, its answers handed over by a window's message loop as the main
// window does.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "WinTest.h"
#include "about/UpdateCheck.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Http.h"
#include "support/FakeShell.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;
using dovoviza::win32::UniqueHandle;

namespace {

constexpr UINT kMarker = WM_APP + 1;
const std::string kLatest = "You already have the latest version.";

std::string Response(const std::string& body, const char* status = "200 OK") {
    return std::string("HTTP/1.1 ") + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Answers the connections on a 127.0.0.1 port in the order they come, one
// scripted reply each: at once, or once released when held. A connection
// without a reply is held open and never answered.
class LocalServer {
public:
    explicit LocalServer(std::vector<std::string> replies, bool held = false) : replies_(std::move(replies)) {
        for (std::size_t i = 0; i < replies_.size(); ++i)
            release_.emplace_back(CreateEventW(nullptr, TRUE, !held, nullptr));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) ||
            listen(listener_, 4) || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size))
            return;
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (std::size_t n = 0;; ++n) {
                const SOCKET client = accept(listener_, nullptr, nullptr);
                if (client == INVALID_SOCKET) return;
                handlers_.emplace_back([this, client, n] { Serve(client, n); });
                ReleaseSemaphore(accepted_.get(), 1, nullptr);
            }
        });
    }
    ~LocalServer() {
        SetEvent(stop_.get());
        closesocket(listener_);
        if (acceptor_.joinable()) acceptor_.join();
        for (auto& handler : handlers_) handler.join();
    }
    int Port() const { return port_; }
    bool WaitAccepted() const { return WaitForSingleObject(accepted_.get(), 30000) == WAIT_OBJECT_0; }
    void Release(std::size_t n) { SetEvent(release_[n].get()); }

private:
    void Serve(SOCKET client, std::size_t n) {
        std::string request;
        char buffer[512];
        for (int got = 0; request.find("\r\n\r\n") == std::string::npos &&
                          (got = recv(client, buffer, sizeof buffer, 0)) > 0;)
            request.append(buffer, got);
        const HANDLE wake[] = {stop_.get(), n < replies_.size() ? release_[n].get() : nullptr};
        if (WaitForMultipleObjects(wake[1] ? 2 : 1, wake, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            send(client, replies_[n].data(), static_cast<int>(replies_[n].size()), 0);
            shutdown(client, SD_SEND);
        }
        closesocket(client);
    }

    std::vector<std::string> replies_;
    std::vector<UniqueHandle> release_;
    UniqueHandle stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle accepted_{CreateSemaphoreW(nullptr, 0, 100, nullptr)};
    SOCKET listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int port_ = 0;
    std::thread acceptor_;
    std::vector<std::thread> handlers_;
};

class UpdateCheckWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data{};
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = L"UpdateCheckTestWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        http_ = std::make_unique<win32::Win32HttpClient>(window_, win32::kHttpAnswerMessage);
        texts.Set("Main", "47", "New version available!");
        texts.Set("Main", "48", "Would you like it?");
        texts.Set("Main", "49", kLatest);
        texts.Set("About", "2", "Version:");
    }
    void TearDown() override {
        check_.reset();
        http_.reset();
        DestroyWindow(window_);
        WSACleanup();
    }
    UpdateCheck& CheckOn(int port) {
        prompt.calls.clear();
        delivered = 0;
        check_ = std::make_unique<UpdateCheck>(*http_, texts, prompt, shell, system,
                                               UpdateServer{"127.0.0.1", port, "http://home/"});
        return *check_;
    }
    // Pumps until a marker posted now comes back: everything posted before it has been handled.
    void Drain() {
        marked = false;
        PostMessageW(window_, kMarker, 0, 0);
        ASSERT_TRUE(wintest::WaitUntil([&] { return marked; }));
    }
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<UpdateCheckWindowTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == kMarker) self->marked = true;
        if (self && message == kMarker && self->delivered == 0) self->markedBeforeAnswer = true;
        if (!self || message != win32::kHttpAnswerMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
        ++self->posted;
        if (auto answer = self->http_ ? self->http_->TakeAnswer(wParam) : std::nullopt) {
            ++self->delivered;
            self->check_->OnAnswer(*answer);
        }
        return 0;
    }

    FakeTexts texts;
    ScriptedPrompt prompt;
    FakeShell shell;
    FakeSystem system;
    int posted = 0, delivered = 0;
    bool marked = false, markedBeforeAnswer = false;
    HWND window_ = nullptr;
    std::unique_ptr<win32::Win32HttpClient> http_;
    std::unique_ptr<UpdateCheck> check_;
};

TEST_F(UpdateCheckWindowTest, ShowsWhatTheServersAnswerMeans) {
    const struct {
        const char* name;
        std::string reply;  // empty: nothing listens on the port
        std::string shown;  // empty: nothing shown
    } cases[] = {
        {"newer", Response("2.1"), "New version available!\r\nVersion: 2.1\r\n\r\nWould you like it?"},
        {"newer major, same minor", Response("3.0"), kLatest},
        {"same", Response("2.0"), kLatest},
        {"ends in a line break", Response("2.1\r\n"), kLatest},
        {"error page", Response("2.1", "404 Not Found"), ""},
        {"too long", Response("2" + std::string(5000, ' ') + "1"), ""},
        {"refused", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<LocalServer> server;
        // A port that was free a moment ago refuses the connection.
        const int port = c.reply.empty() ? LocalServer({}).Port() : server.emplace(std::vector{c.reply}).Port();
        ASSERT_NE(port, 0);
        CheckOn(port).Start();
        ASSERT_TRUE(wintest::WaitUntil([&] { return delivered == 1; }));
        EXPECT_FALSE(check_->Running());
        ASSERT_EQ(prompt.calls.size(), c.shown.empty() ? 0u : 1u);
        if (!c.shown.empty()) {
            EXPECT_EQ(prompt.calls[0].text, c.shown);
        }
    }
}

TEST_F(UpdateCheckWindowTest, ASilentServerTimesOutQuietlyWhileTheWindowKeepsWorking) {
    LocalServer server({});
    CheckOn(server.Port()).Start();
    PostMessageW(window_, kMarker, 0, 0);  // handled long before the check gives up
    ASSERT_TRUE(wintest::WaitUntil([&] { return delivered == 1; }));
    EXPECT_TRUE(markedBeforeAnswer);
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(check_->Running());
}

TEST_F(UpdateCheckWindowTest, ClosingTheClientAbortsItsRequestAndPostsNothing) {
    LocalServer server({});
    CheckOn(server.Port()).Start();
    ASSERT_TRUE(server.WaitAccepted());
    check_.reset();
    http_.reset();  // waits for its threads: whatever they posted is queued by now
    Drain();
    EXPECT_EQ(posted, 0);
}

TEST_F(UpdateCheckWindowTest, OfTwoQuickRequestsOnlyTheSecondIsAnswered) {
    for (const bool firstAnswersFirst : {false, true}) {
        SCOPED_TRACE(firstAnswersFirst);
        LocalServer server({Response("2.1"), Response("2.0")}, true);
        UpdateCheck& check = CheckOn(server.Port());
        check.Start();
        ASSERT_TRUE(server.WaitAccepted());  // without pumping: the first answer cannot come between
        check.Start();
        ASSERT_TRUE(server.WaitAccepted());
        server.Release(firstAnswersFirst ? 0 : 1);
        ASSERT_TRUE(wintest::WaitUntil([&] { return delivered == 1; }));
        server.Release(firstAnswersFirst ? 1 : 0);
        ASSERT_TRUE(wintest::WaitUntil([&] { return delivered == 2; }));
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text, kLatest);
    }
}

}  // namespace
