#include <windows.h>
#include <winhttp.h>

#include "platform/win32/Win32Http.h"

#include <thread>
#include <utility>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    // A failed close leaves nothing to undo.
    static void Close(Type h) noexcept { static_cast<void>(WinHttpCloseHandle(h)); }
};
using UniqueInternet = UniqueResource<InternetHandleTraits>;

HttpAnswer Failed(std::uint64_t id) {
    HttpAnswer answer;
    answer.id = id;
    return answer;
}

}  // namespace

struct Win32HttpClient::Job {
    WPARAM id = 0;
    std::thread thread;
    bool ended = false;
    // Shared with the destructor, which closes it to abort a call in progress.
    UniqueInternet request;
};

// The job's request handle, owned by the job while the fetch runs and closed
// when it ends, unless an abort closed it first.
class Win32HttpClient::AdoptedRequest {
public:
    AdoptedRequest(Win32HttpClient& client, Job& job) : client_(client), job_(job) {}
    ~AdoptedRequest() {
        const std::lock_guard lock(client_.mutex_);
        job_.request.reset();
    }
    AdoptedRequest(const AdoptedRequest&) = delete;
    AdoptedRequest& operator=(const AdoptedRequest&) = delete;

    // Takes the new handle; false (and closed) when the client is closing.
    bool Adopt(HINTERNET request) {
        const std::lock_guard lock(client_.mutex_);
        job_.request.reset(request);
        if (client_.closing_) job_.request.reset();
        return static_cast<bool>(job_.request);
    }
    // The handle for the next call, or null once aborted.
    HINTERNET Get() {
        const std::lock_guard lock(client_.mutex_);
        return job_.request.get();
    }

private:
    Win32HttpClient& client_;
    Job& job_;
};

Win32HttpClient::Win32HttpClient(HWND window, UINT message) : window_(window), message_(message) {}

void Win32HttpClient::AnswerTo(HWND window) {
    const std::lock_guard lock(mutex_);
    window_ = window;
}

Win32HttpClient::~Win32HttpClient() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        // Closing the handle makes a waiting WinHTTP call return.
        for (const auto& job : jobs_) job->request.reset();
    }
    for (const auto& job : jobs_) job->thread.join();
}

std::uint64_t Win32HttpClient::Get(const HttpRequest& request) {
    try {
        ReapEnded();
        const std::lock_guard lock(mutex_);
        if (++lastId_ == 0) ++lastId_;  // 0 means "not started"
        auto job = std::make_unique<Job>();
        job->id = lastId_;
        Job& started = *job;
        jobs_.push_back(std::move(job));
        try {
            // The thread waits for the lock before it touches anything shared.
            started.thread = std::thread([this, &started, request] { Run(started, request); });
        } catch (...) {
            jobs_.pop_back();
            throw;
        }
        return started.id;
    } catch (...) {
        // No thread (or no memory): the caller hears that nothing started.
        return 0;
    }
}

std::optional<HttpAnswer> Win32HttpClient::TakeAnswer(WPARAM wParam) {
    std::optional<HttpAnswer> answer;
    {
        const std::lock_guard lock(mutex_);
        const auto it = answers_.find(wParam);
        if (it == answers_.end()) return std::nullopt;
        answer = std::move(it->second);
        answers_.erase(it);
    }
    ReapEnded();
    return answer;
}

void Win32HttpClient::Run(Job& job, const HttpRequest& request) noexcept {
    HttpAnswer answer = Failed(job.id);
    try {
        answer = Fetch(job, request);
    } catch (...) {
        // Out of memory while reading: the request failed.
    }
    try {
        Finish(job, std::move(answer));
    } catch (...) {
        // No room to keep the answer: the owner hears nothing, as for a lost request.
    }
}

HttpAnswer Win32HttpClient::Fetch(Job& job, const HttpRequest& request) {
    const HttpAnswer failed = Failed(job.id);
    if (request.port <= 0 || request.port > 65535) return failed;

    const UniqueInternet session(WinHttpOpen(L"dovoviza", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failed;
    const int t = request.timeoutMs;
    if (!WinHttpSetTimeouts(session.get(), t, t, t, t)) return failed;
    const UniqueInternet connection(WinHttpConnect(session.get(), Wide(request.host).c_str(),
                                                   static_cast<INTERNET_PORT>(request.port), 0));
    if (!connection) return failed;

    // Declared after the session and connection so that the request closes first.
    AdoptedRequest adopted(*this, job);
    if (!adopted.Adopt(WinHttpOpenRequest(connection.get(), L"GET", Wide(request.path).c_str(),
                                          nullptr, WINHTTP_NO_REFERER,
                                          WINHTTP_DEFAULT_ACCEPT_TYPES, 0)))
        return failed;

    HINTERNET handle = adopted.Get();
    if (!handle) return failed;
    // Waiting for the headers has a limit of its own (90 s unless set) that Wine
    // applies instead of the receiving time-out. A system without the option
    // bounds each receive by the receiving time-out anyway, so a refusal is no failure.
    DWORD headersTimeout = static_cast<DWORD>(t);
    static_cast<void>(WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT,
                                       &headersTimeout, sizeof(headersTimeout)));
    handle = adopted.Get();
    if (!handle || !WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                       WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return failed;
    handle = adopted.Get();
    if (!handle || !WinHttpReceiveResponse(handle, nullptr)) return failed;

    HttpAnswer answer = Failed(job.id);
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    handle = adopted.Get();
    constexpr DWORD kStatusQuery = WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER;
    if (!handle || !WinHttpQueryHeaders(handle, kStatusQuery, WINHTTP_HEADER_NAME_BY_INDEX,
                                        &status, &statusSize, WINHTTP_NO_HEADER_INDEX))
        return failed;
    answer.status = static_cast<int>(status);

    char buffer[1024];
    for (;;) {
        DWORD got = 0;
        handle = adopted.Get();
        if (!handle || !WinHttpReadData(handle, buffer, sizeof(buffer), &got)) return failed;
        if (got == 0) break;
        answer.body.append(buffer, got);
        if (answer.body.size() > request.maxBodyBytes) return failed;
    }
    answer.ok = true;
    return answer;
}

void Win32HttpClient::Finish(Job& job, HttpAnswer answer) {
    const std::lock_guard lock(mutex_);
    job.ended = true;
    if (closing_) return;
    const WPARAM id = job.id;
    answers_[id] = std::move(answer);
    // Without a window to tell, nobody would ever take the answer.
    if (!PostMessageW(window_, message_, id, 0)) answers_.erase(id);
}

void Win32HttpClient::ReapEnded() {
    std::vector<std::unique_ptr<Job>> ended;
    {
        const std::lock_guard lock(mutex_);
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            if ((*it)->ended) {
                ended.push_back(std::move(*it));
                it = jobs_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Each of these threads has nothing left to do but return.
    for (const auto& job : ended) job->thread.join();
}

}  // namespace dovoviza::win32
