#include "service/Request.h"

#include "VelmoraConfig.h"
#include "service/Md5.h"

#include <ctime>
#include <mutex>

std::string ServerUrl = VELMORA_SERVER_URL;
std::string FallbackServerUrl = VELMORA_FALLBACK_SERVER_URL;
const char* const PublisherId = "mm_24680135_0_0";

namespace {
constexpr char HexUpper[] = "0123456789ABCDEF";

std::mutex ClockMutex;
std::function<std::chrono::system_clock::time_point()> StampClock;
} // namespace

std::string PercentEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        out.push_back('%');
        out.push_back(HexUpper[c >> 4]);
        out.push_back(HexUpper[c & 0x0f]);
    }
    return out;
}

std::string ReverseString(std::string_view text) {
    return std::string(text.rbegin(), text.rend());
}

std::string QueryValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (unsigned char c : value) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == ',';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(HexUpper[c >> 4]);
            out.push_back(HexUpper[c & 0x0f]);
        }
    }
    return out;
}

int32_t StampAt(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const int64_t ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
    int64_t secs = ms / 1000;
    int64_t frac = ms % 1000;
    if (frac < 0) {
        frac += 1000;
        secs -= 1;
    }
    // The local wall-clock reading, taken as if it were UTC.
    const time_t t = static_cast<time_t>(secs);
    tm local{};
    localtime_r(&t, &local);
    const int64_t localSecs = static_cast<int64_t>(timegm(&local));
    const int64_t localMs = localSecs * 1000 + frac - int64_t(28800) * 1000;
    // Truncation toward zero, then the 32-bit wrap of the original integer type.
    return static_cast<int32_t>(localMs / 1000);
}

int32_t GetStamp() {
    std::chrono::system_clock::time_point now;
    {
        std::lock_guard lock(ClockMutex);
        now = StampClock ? StampClock() : std::chrono::system_clock::now();
    }
    return StampAt(now);
}

void SetStampClock(std::function<std::chrono::system_clock::time_point()> clock) {
    std::lock_guard lock(ClockMutex);
    StampClock = std::move(clock);
}

std::string MakeSign(std::string_view pid, std::string_view stamp, std::string_view inner) {
    std::string input;
    input.reserve(pid.size() + 2 * stamp.size() + 32);
    input.append(pid);
    input.append(ReverseString(stamp));
    input.append(Md5Hex(inner));
    input.append(stamp);
    return Md5Hex(input);
}
