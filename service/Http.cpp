#include "service/Http.h"

#include <chrono>
#include <curl/curl.h>
#include <mutex>

namespace {

struct Transfer {
    std::string* body = nullptr;
    size_t cap = 0;
    bool overflow = false;
    long readTimeoutMs = 0;
    curl_off_t lastDown = 0;
    std::chrono::steady_clock::time_point lastData;
    bool stalled = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (n > t->cap - t->body->size()) {
        t->overflow = true;
        return 0; // aborts the transfer
    }
    t->body->append(data, n);
    return n;
}

// Header lines are data too: they restart the read time-out like body bytes do.
size_t HeaderLine(char*, size_t size, size_t count, void* user) {
    static_cast<Transfer*>(user)->lastData = std::chrono::steady_clock::now();
    return size * count;
}

int Progress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (dlnow != t->lastDown) {
        t->lastDown = dlnow;
        t->lastData = now;
        return 0;
    }
    if (t->readTimeoutMs > 0 &&
        std::chrono::duration_cast<std::chrono::milliseconds>(now - t->lastData).count() >=
            t->readTimeoutMs) {
        t->stalled = true;
        return 1; // aborts the transfer
    }
    return 0;
}

} // namespace

void HttpGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpClient::HttpClient(long readTimeoutMs) : FReadTimeoutMs(readTimeoutMs < 0 ? 0 : readTimeoutMs) {
    HttpGlobalInit();
    FHandle = curl_easy_init();
    if (!FHandle) return;
    curl_easy_setopt(FHandle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(FHandle, CURLOPT_COOKIEFILE, ""); // cookie engine on, nothing loaded
    curl_easy_setopt(FHandle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(FHandle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(FHandle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(FHandle, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(FHandle, CURLOPT_PROXY, ""); // no proxy taken from the environment
    curl_easy_setopt(FHandle, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(FHandle, CURLOPT_HEADERFUNCTION, HeaderLine);
    curl_easy_setopt(FHandle, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(FHandle, CURLOPT_NOPROGRESS, 0L);
}

HttpClient::~HttpClient() {
    if (FHandle) curl_easy_cleanup(FHandle);
}

HttpResponse HttpClient::Get(const std::string& url) {
    HttpResponse r;
    if (!FHandle) {
        r.error = "no HTTP handle";
        return r;
    }
    Transfer t;
    t.body = &r.body;
    t.cap = FMaxBodyBytes;
    t.readTimeoutMs = FReadTimeoutMs;
    t.lastData = std::chrono::steady_clock::now();
    curl_easy_setopt(FHandle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(FHandle, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(FHandle, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(FHandle, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(FHandle, CURLOPT_CONNECTTIMEOUT_MS, FConnectTimeoutMs);
    curl_easy_setopt(FHandle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(FMaxBodyBytes));

    const CURLcode rc = curl_easy_perform(FHandle);
    curl_easy_getinfo(FHandle, CURLINFO_RESPONSE_CODE, &r.status);
    if (rc != CURLE_OK) {
        r.error = t.overflow || rc == CURLE_FILESIZE_EXCEEDED ? "body too large"
                  : t.stalled                                 ? "read time-out"
                                                              : curl_easy_strerror(rc);
        return r;
    }
    if (r.status < 200 || r.status > 299) {
        r.error = "HTTP status " + std::to_string(r.status);
        return r;
    }
    r.ok = true;
    return r;
}
