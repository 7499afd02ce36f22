#pragma once
// HTTP GETs through WinHTTP, each on a worker thread of its own. A finished
// request posts `message` to the owner's window with the request's id as
// wParam; the window procedure hands that wParam to TakeAnswer to collect the
// answer on the UI thread. Answers are kept here until taken, so nothing
// crosses threads through the message itself.

#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/Http.h"

namespace dovoviza::win32 {

// The message the main window receives its network answers with.
inline constexpr UINT kHttpAnswerMessage = WM_APP + 20;

class Win32HttpClient : public IHttpClient {
public:
    Win32HttpClient(HWND window, UINT message);
    // Answers go to the window named later by AnswerTo; none are kept before.
    explicit Win32HttpClient(UINT message) : Win32HttpClient(nullptr, message) {}
    void AnswerTo(HWND window);
    // Closes the requests still running and waits for their threads (at most
    // until their time-outs run out); their answers are dropped.
    ~Win32HttpClient() override;
    Win32HttpClient(const Win32HttpClient&) = delete;
    Win32HttpClient& operator=(const Win32HttpClient&) = delete;

    std::uint64_t Get(const HttpRequest& request) override;
    // The answer of the request that a posted message's wParam names; nothing
    // when it is unknown or was taken already.
    std::optional<HttpAnswer> TakeAnswer(WPARAM wParam);

private:
    struct Job;
    class AdoptedRequest;

    void Run(Job& job, const HttpRequest& request) noexcept;
    HttpAnswer Fetch(Job& job, const HttpRequest& request);
    void Finish(Job& job, HttpAnswer answer);
    // Joins the threads of requests that have ended.
    void ReapEnded();

    HWND window_;
    const UINT message_;
    std::mutex mutex_;  // guards everything below and each job's request handle
    bool closing_ = false;
    WPARAM lastId_ = 0;
    std::vector<std::unique_ptr<Job>> jobs_;
    std::unordered_map<WPARAM, HttpAnswer> answers_;
};

}  // namespace dovoviza::win32
