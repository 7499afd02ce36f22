// The WinHTTP client against a server on the loopback that the test thread
// plays itself while the client's threads wait on it; answers come by a
// window's messages, as the main window's do.

#include <winsock2.h>
#include <windows.h>

#include <memory>

#include "WinTest.h"
#include "platform/win32/Win32Http.h"

using namespace dovoviza;

namespace {

std::string Response(const std::string& body, const char* status = "200 OK") {
    return std::string("HTTP/1.1 ") + status + "\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// Binds a socket to a free port of the loopback and gives the port.
int Bind(SOCKET socket) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    auto* at = reinterpret_cast<sockaddr*>(&address);
    return bind(socket, at, size) || getsockname(socket, at, &size) ? 0 : ntohs(address.sin_port);
}

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data{};
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ASSERT_TRUE((port = Bind(listener)) && !listen(listener, 4));
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = L"HttpClientTestWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        http = std::make_unique<win32::Win32HttpClient>(window, win32::kHttpAnswerMessage);
    }
    void TearDown() override {
        http.reset();
        DestroyWindow(window);
        closesocket(listener);
        WSACleanup();
    }
    std::uint64_t Get(int on) { return http->Get(HttpRequest{"127.0.0.1", on, "/v.txt", 1000, 4096}); }
    // The next connection, once its request has come in whole.
    SOCKET Accept() {
        fd_set ready{};
        FD_SET(listener, &ready);
        timeval bound{30, 0};
        if (select(0, &ready, nullptr, nullptr, &bound) != 1) return INVALID_SOCKET;
        const SOCKET client = accept(listener, nullptr, nullptr);
        std::string request;
        char buffer[1024];
        for (int got = 0; request.find("\r\n\r\n") == std::string::npos &&
                          (got = recv(client, buffer, sizeof buffer, 0)) > 0;)
            request.append(buffer, got);
        return client;
    }
    static void Reply(SOCKET client, const std::string& reply) {
        send(client, reply.data(), static_cast<int>(reply.size()), 0);
        closesocket(client);
    }
    bool Answered(std::size_t n) { return wintest::WaitUntil([&] { return answers.size() == n; }); }
    std::string Last() const {
        const HttpAnswer& a = answers.back();
        return a.ok ? std::to_string(a.status) + " " + a.body : "failed";
    }
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<HttpClient*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_APP) self->marked = self->answers.size() + 1;
        if (!self || message != win32::kHttpAnswerMessage)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        ++self->posted;
        if (auto answer = self->http->TakeAnswer(wParam)) self->answers.push_back(*answer);
        self->takenTwice |= self->http->TakeAnswer(wParam).has_value();
        return 0;
    }

    SOCKET listener = INVALID_SOCKET;
    int port = 0, posted = 0;
    std::size_t marked = 0;  // 1 + the answers there were when the marker came
    bool takenTwice = false;
    HWND window = nullptr;
    std::unique_ptr<win32::Win32HttpClient> http;
    std::vector<HttpAnswer> answers;
};

TEST_F(HttpClient, AnswersBringTheStatusAndTheBodyAsTheyCame) {
    const std::pair<std::string, std::string> cases[] = {
        {Response("2.1\r\n"), "200 2.1\r\n"},
        {Response("gone", "404 Not Found"), "404 gone"},
        {Response(std::string(4096, '1')), "200 " + std::string(4096, '1')},
        {Response(std::string(4097, '1')), "failed"},  // longer than asked for
        {"", "failed"}};  // a port that refuses
    for (const auto& [reply, answer] : cases) {
        const SOCKET deaf = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);  // bound, not listening
        const std::uint64_t id = Get(reply.empty() ? Bind(deaf) : port);
        if (!reply.empty()) Reply(Accept(), reply);
        ASSERT_TRUE(Answered(answers.size() + 1)) << answer;
        closesocket(deaf);
        EXPECT_EQ(Last(), answer);
        EXPECT_EQ(answers.back().id, id);
    }
    EXPECT_FALSE(takenTwice);
}

TEST_F(HttpClient, ASilentServerTimesOutWhileTheWindowKeepsWorking) {
    Get(port);
    const SOCKET silent = Accept();
    PostMessageW(window, WM_APP, 0, 0);  // handled long before the request gives up
    ASSERT_TRUE(Answered(1));
    closesocket(silent);
    EXPECT_EQ(marked, 1u);
    EXPECT_EQ(Last(), "failed");
}

TEST_F(HttpClient, ClosingTheClientAbortsItsRequestAndPostsNothing) {
    Get(port);
    const SOCKET silent = Accept();
    http.reset();  // waits for its threads: whatever they posted is queued by now
    closesocket(silent);
    PostMessageW(window, WM_APP, 0, 0);
    ASSERT_TRUE(wintest::WaitUntil([&] { return marked != 0; }));
    EXPECT_EQ(posted, 0);
}

TEST_F(HttpClient, RequestsAnsweredOutOfOrderKeepTheirOwnIds) {
    const std::uint64_t first = Get(port);
    const SOCKET one = Accept();
    const std::uint64_t second = Get(port);
    Reply(Accept(), Response("second"));
    ASSERT_TRUE(Answered(1));
    Reply(one, Response("first"));
    ASSERT_TRUE(Answered(2));
    EXPECT_TRUE(first && second && first != second);
    EXPECT_EQ(std::pair(answers[0].id, answers[0].body), std::pair(second, std::string("second")));
    EXPECT_EQ(std::pair(answers[1].id, answers[1].body), std::pair(first, std::string("first")));
    EXPECT_FALSE(takenTwice || http->TakeAnswer(first + second));
}

}  // namespace
