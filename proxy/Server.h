// The reference proxy's HTTP server: every path of the proxy's address space
// over the sample catalogue, with faults that tests can switch on.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace proxy {

class Catalogue;
class Searcher;

// Faults applied to every path except the control paths under /control/.
struct Faults {
    int delay_ms = 0;                  // every answer waits this long
    std::set<std::string> stall_paths; // held without an answer for stall_ms, then closed
    std::set<std::string> fail_paths;  // answered with 500
    std::set<std::string> close_paths; // connection closed without an answer
};

struct ProxyOptions {
    std::string host = "127.0.0.1";
    int port = 18080; // 0: any free port
    std::uint64_t seed = 1;
    bool gbk = false; // XML answers GBK-declared and GBK-encoded
    // Software information announced by ok.php.
    std::string version = "v1.0";
    std::string update_name = "VelmoraUpdate";
    std::string update_url;     // empty: this server's update archive path
    std::string update_archive; // file served at kUpdateArchivePath; empty: none
    Faults faults;
    int stall_ms = 20000; // longer than the client's 15 s read time-out
    std::string log_path; // every request line, one per line
    std::size_t items = 6000;
    std::size_t sellers = 360;
};

inline constexpr const char* kUpdateArchivePath = "/aobao/III/update.zip";
inline constexpr std::size_t kMaxConvertIds = 40;

// Parses the command line into options; false with a message on error.
// "--help" sets help and returns true.
bool ParseOptions(const std::vector<std::string>& args, ProxyOptions& options, bool& help,
                  std::string& error);
std::string Usage();

class ProxyServer {
public:
    explicit ProxyServer(ProxyOptions options);
    ~ProxyServer();
    ProxyServer(const ProxyServer&) = delete;
    ProxyServer& operator=(const ProxyServer&) = delete;

    // Binds the listening socket; returns the port, or -1 when it cannot bind.
    int Bind();
    // Serves until Stop(); call after Bind().
    void Run();
    // Bind() and Run() on a thread of its own; returns the port or -1.
    int Start();
    // Ends Run(); wakes stalled requests. Safe to call more than once.
    void Stop();

    int port() const { return port_; }
    std::string BaseUrl() const; // "http://host:port"
    const Catalogue& catalogue() const { return *catalogue_; }

    void SetFaults(Faults faults);
    Faults faults() const;
    std::uint64_t CountVisits() const { return count_visits_.load(); }
    std::uint64_t Hits(const std::string& path) const;

private:
    void Routes();
    bool ApplyFaults(const httplib::Request& req, httplib::Response& res);
    void LogRequest(const httplib::Request& req);
    std::string RequestBase(const httplib::Request& req) const;
    void SendXml(httplib::Response& res, const std::string& body, int status = 200) const;

    void HandleTbkItems(const httplib::Request& req, httplib::Response& res);
    void HandleItemcats(const httplib::Request& req, httplib::Response& res);
    void HandleTbItems(const httplib::Request& req, httplib::Response& res);
    void HandleConvert(const httplib::Request& req, httplib::Response& res);
    void HandleOk(const httplib::Request& req, httplib::Response& res);
    void HandleControl(const httplib::Request& req, httplib::Response& res);

    ProxyOptions options_;
    std::unique_ptr<Catalogue> catalogue_;
    std::unique_ptr<Searcher> searcher_;
    std::unique_ptr<httplib::Server> server_;
    std::string pindao_html_, huodong_html_;
    std::vector<std::string> credit_icons_;
    int port_ = -1;
    std::thread thread_;

    mutable std::mutex mutex_; // faults_, hits_, log_
    Faults faults_;
    std::map<std::string, std::uint64_t> hits_;
    std::FILE* log_ = nullptr;
    std::atomic<std::uint64_t> count_visits_{0};
    std::atomic<std::uint64_t> requests_{0};

    std::mutex stop_mutex_;
    std::condition_variable stop_cv_;
    bool stopping_ = false;
};

} // namespace proxy
