// Request machinery shared by every catalogue request: server base URLs, service
// paths, the publisher id, percent-encoding, the time stamp and the signature.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Scheme and host of the proxy, no trailing "/". ServerUrl starts as the primary
// server and may be switched once to FallbackServerUrl at start-up.
extern std::string ServerUrl;
extern std::string FallbackServerUrl;

// The affiliate publisher id, "mm_24680135_0_0".
extern const char* const PublisherId;

// Service paths under the server base URL.
inline constexpr const char* TbkItemsPath = "/aobao/tbk_items.php";
inline constexpr const char* TbItemcatsPath = "/aobao/tb_itemcats.php";
inline constexpr const char* TbItemsPath = "/aobao/tb_items.php";
inline constexpr const char* TbkItemsConvertPath = "/aobao/tbk_items_convert.php";
inline constexpr const char* OkPath = "/aobao/III/ok.php";
inline constexpr const char* PindaoPath = "/aobao/III/pindao.html";
inline constexpr const char* HuodongPath = "/aobao/III/huodong.html";
inline constexpr const char* CountPath = "/aobao/III/count.html";

// Every byte as "%" and two uppercase hexadecimal digits.
std::string PercentEncode(std::string_view text);

// The same characters in reverse order.
std::string ReverseString(std::string_view text);

// A value appended to a query string without escaping. Bytes that would change the
// meaning of the URL (anything outside letters, digits, "-._~,") are written as
// "%XX"; ordinary values pass byte for byte.
std::string QueryValue(std::string_view value);

// The request time stamp: the local wall-clock time read as if it were UTC+8,
// in seconds since 1970-01-01 00:00 UTC, truncated toward zero.
int32_t GetStamp();

// Replaces the clock GetStamp reads (tests); nullptr restores the system clock.
void SetStampClock(std::function<std::chrono::system_clock::time_point()> clock);

// The stamp of a given instant under the current time zone (TZ).
int32_t StampAt(std::chrono::system_clock::time_point when);

// The signature of a request: MD5 hex of pid, the reversed stamp, the MD5 hex of
// the inner string, and the stamp.
std::string MakeSign(std::string_view pid, std::string_view stamp, std::string_view inner);
