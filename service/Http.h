// A small blocking HTTP GET client on libcurl. One instance keeps one connection
// handle (and its cookies) for its whole life.
#pragma once

#include <cstddef>
#include <string>

typedef void CURL;

struct HttpResponse {
    bool ok = false;   // transfer complete and status 2xx
    long status = 0;   // HTTP status, 0 when no answer arrived
    std::string body;  // bytes as received
    std::string error; // why ok is false (transport error or status)
};

// Initialises libcurl once per process; safe to call any number of times. Call it
// from the main thread before any other thread starts; clients also call it.
void HttpGlobalInit();

class HttpClient {
public:
    static constexpr long DefaultReadTimeoutMs = 15000;
    static constexpr long DefaultConnectTimeoutMs = 10000;
    static constexpr size_t DefaultMaxBodyBytes = size_t(16) * 1024 * 1024;

    // readTimeoutMs: longest time without received data (0 = no limit).
    explicit HttpClient(long readTimeoutMs = DefaultReadTimeoutMs);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void SetReadTimeoutMs(long ms) { FReadTimeoutMs = ms < 0 ? 0 : ms; }
    long ReadTimeoutMs() const { return FReadTimeoutMs; }
    // Longest connection set-up (0 = libcurl's own limit).
    void SetConnectTimeoutMs(long ms) { FConnectTimeoutMs = ms < 0 ? 0 : ms; }
    long ConnectTimeoutMs() const { return FConnectTimeoutMs; }
    // A larger body ends the transfer as a failure.
    void SetMaxBodyBytes(size_t bytes) { FMaxBodyBytes = bytes; }
    size_t MaxBodyBytes() const { return FMaxBodyBytes; }

    // GET of the URL exactly as given: no redirects followed, no request headers
    // added, http and https only. Cookies set by earlier answers are sent back.
    HttpResponse Get(const std::string& url);

private:
    CURL* FHandle = nullptr;
    long FReadTimeoutMs;
    long FConnectTimeoutMs = DefaultConnectTimeoutMs;
    size_t FMaxBodyBytes = DefaultMaxBodyBytes;
};
