#pragma once
// One HTTP GET at a time per caller, answered later: the caller never waits for the network.

#include <cstddef>
#include <cstdint>
#include <string>

namespace dovoviza {

struct HttpRequest {
    std::string host;
    int port = 80;
    std::string path;
    // For each of the four phases: name resolution, connection, sending, receiving.
    int timeoutMs = 1000;
    // A longer body is not read to its end: the request counts as failed.
    std::size_t maxBodyBytes = 4096;
};

struct HttpAnswer {
    std::uint64_t id = 0;  // the id that Get returned for the request
    bool ok = false;       // false: no connection, time-out, no answer or body too long
    int status = 0;        // the server's HTTP status, when ok
    std::string body;
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // Starts a plain-HTTP GET and returns at once. The answer comes later, on
    // the caller's thread, carrying the returned id (never 0). 0 means the
    // request could not be started and no answer will come.
    virtual std::uint64_t Get(const HttpRequest& request) = 0;
};

}  // namespace dovoviza
