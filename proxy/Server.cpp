#include "proxy/Server.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <httplib.h>

#include "proxy/Answers.h"
#include "proxy/Catalogue.h"
#include "proxy/Images.h"
#include "proxy/Pages.h"
#include "proxy/Search.h"
#include "proxy/Tables.h"
#include "service/Request.h"
#include "service/Taobao_Itemcats.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

namespace proxy {

namespace {

// Platform error codes of the answers below.
constexpr int kErrMissingArgument = 40;
constexpr int kErrInvalidArgument = 41;
constexpr int kErrSignature = 25;

std::string Param(const httplib::Request& req, const char* key) {
    return req.get_param_value(key);
}

// An error answer for a malformed request: 400 with the platform's error shape.
struct BadRequest {
    int code;
    std::string msg;
};

[[noreturn]] void Missing(const std::string& key) {
    throw BadRequest{kErrMissingArgument, "Missing required arguments:" + key};
}
[[noreturn]] void Invalid(const std::string& key) {
    throw BadRequest{kErrInvalidArgument, "Invalid arguments:" + key};
}

std::optional<std::int64_t> PriceParam(const httplib::Request& req, const char* key) {
    const std::string v = Param(req, key);
    if (v.empty()) return std::nullopt;
    auto cents = ParsePrice(v);
    if (!cents) Invalid(key);
    return cents;
}

int PageParam(const httplib::Request& req, const char* key) {
    const std::string v = Param(req, key);
    if (v.empty()) return 1;
    auto n = ParseInt(v, 1, 100000);
    if (!n) Invalid(key);
    return static_cast<int>(*n);
}

std::int64_t CidParam(const httplib::Request& req, const char* key) {
    const std::string v = Param(req, key);
    if (v.empty()) return 0;
    auto n = ParseInt(v, 0, 999999999999LL);
    if (!n) Invalid(key);
    return *n;
}

std::vector<std::string> FieldsParam(const httplib::Request& req) {
    return SplitList(Param(req, "fields"), ',');
}

// Reads the signed conditions of a component from the query, the way the
// client's component would have put them there.
template <class Traits> typename Traits::Cond ReadCond(const httplib::Request& req) {
    typename Traits::Cond cond{};
    cond.pid = Param(req, "pid");
    for (const auto& p : Traits::QueryParams)
        cond.*p.member = Param(req, p.key);
    for (const auto& p : Traits::TailParams)
        cond.*p.member = Param(req, p.key);
    return cond;
}

template <class Traits>
bool SignatureMatches(const typename Traits::Cond& cond, const std::string& stamp, const std::string& sign) {
    return MakeSign(cond.pid, stamp, TFetcher<Traits>::InnerString(cond)) == sign;
}

// Checks pid, stamp and sign; an error answer (no marker element) when the
// signature is missing or wrong.
bool CheckSigned(const httplib::Request& req, std::string& error) {
    const std::string pid = Param(req, "pid");
    if (pid.empty()) Missing("pid");
    // The pid goes back inside the click links of the answer, which must stay well-formed.
    if (!IsValidUtf8(pid)) Invalid("pid");
    const std::string stamp = Param(req, "stamp");
    if (stamp.empty()) Missing("stamp");
    if (stamp.size() > 11 || !std::all_of(stamp.begin(), stamp.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) || c == '-';
        }))
        Invalid("stamp");
    if (Param(req, "sign").empty()) {
        error = "Missing signature";
        return false;
    }
    return true;
}

bool ValidHost(const std::string& host) {
    if (host.empty() || host.size() > 255) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':' || c == '[' ||
               c == ']';
    });
}

// Shuts the connection a request came in on, so the client gets no answer.
// The handler does not see its socket, so it is found by its address pair.
void ShutConnection(const httplib::Request& req) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        int fd = -1;
        try {
            fd = std::stoi(entry.path().filename().string());
        } catch (...) {
            continue;
        }
        sockaddr_storage local{}, peer{};
        socklen_t llen = sizeof local, plen = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &llen) != 0) continue;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &plen) != 0) continue;
        auto port_of = [](const sockaddr_storage& a) -> int {
            if (a.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port);
            if (a.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(a).sin6_port);
            return -1;
        };
        if (port_of(local) == req.local_port && port_of(peer) == req.remote_port) {
            ::shutdown(fd, SHUT_RDWR);
            return;
        }
    }
}

void SetPaths(std::set<std::string>& paths, const std::string& list) {
    paths.clear();
    for (auto& p : SplitList(list, ','))
        paths.insert(p);
}

std::string JoinPaths(const std::set<std::string>& paths) {
    std::string out;
    for (const auto& p : paths)
        out += (out.empty() ? "" : ",") + p;
    return out;
}

bool SafeInfoValue(const std::string& v) {
    return v.find_first_of("\"'\r\n") == std::string::npos && IsValidUtf8(v);
}

} // namespace

// ---------------------------------------------------------------- options

std::string Usage() {
    return "usage: velmora-proxy [options]\n"
           "  --host HOST            address to listen on (default 127.0.0.1)\n"
           "  --port N               port (default 18080; 0 picks a free one)\n"
           "  --seed N               catalogue seed (default 1)\n"
           "  --gbk                  XML answers declared and encoded as GBK\n"
           "  --version LABEL        version announced by ok.php (default v1.0: no update)\n"
           "  --update-name NAME     update name announced by ok.php\n"
           "  --update-url URL       update archive URL announced (default: this server's)\n"
           "  --update-archive FILE  ZIP served at /aobao/III/update.zip\n"
           "  --delay-ms N           delay every answer by N ms\n"
           "  --stall-path PATH      never answer PATH in time (repeatable)\n"
           "  --stall-ms N           how long a stalled request is held (default 20000)\n"
           "  --fail-path PATH       answer PATH with 500 (repeatable)\n"
           "  --close-path PATH      close the connection on PATH without answer (repeatable)\n"
           "  --log FILE             append every request line to FILE\n"
           "  --help                 this text\n"
           "Control at run time: /control/faults?delay_ms=&stall=&fail=&close= (comma lists),\n"
           "/control/reset, /control/stats, /control/ping.\n";
}

bool ParseOptions(const std::vector<std::string>& args, ProxyOptions& o, bool& help, std::string& error) {
    help = false;
    auto number = [&](const std::string& flag, const std::string& v, std::int64_t lo, std::int64_t hi,
                      std::int64_t& out) {
        auto n = ParseInt(v, lo, hi);
        if (!n) {
            error = flag + ": expected a number from " + std::to_string(lo) + " to " + std::to_string(hi);
            return false;
        }
        out = *n;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        }
        if (a == "--gbk") {
            o.gbk = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = a.rfind("--", 0) == 0 ? a + ": value missing" : "unknown argument: " + a;
            return false;
        }
        const std::string& v = args[++i];
        std::int64_t n = 0;
        if (a == "--host")
            o.host = v;
        else if (a == "--port") {
            if (!number(a, v, 0, 65535, n)) return false;
            o.port = static_cast<int>(n);
        } else if (a == "--seed") {
            if (!number(a, v, 0, 999999999999999999LL, n)) return false;
            o.seed = static_cast<std::uint64_t>(n);
        } else if (a == "--version")
            o.version = v;
        else if (a == "--update-name")
            o.update_name = v;
        else if (a == "--update-url")
            o.update_url = v;
        else if (a == "--update-archive")
            o.update_archive = v;
        else if (a == "--delay-ms") {
            if (!number(a, v, 0, 600000, n)) return false;
            o.faults.delay_ms = static_cast<int>(n);
        } else if (a == "--stall-ms") {
            if (!number(a, v, 0, 600000, n)) return false;
            o.stall_ms = static_cast<int>(n);
        } else if (a == "--stall-path")
            o.faults.stall_paths.insert(v);
        else if (a == "--fail-path")
            o.faults.fail_paths.insert(v);
        else if (a == "--close-path")
            o.faults.close_paths.insert(v);
        else if (a == "--log")
            o.log_path = v;
        else {
            error = "unknown argument: " + a;
            return false;
        }
    }
    // ok.php lines are split on line breaks and quotes; such values would shift the lines.
    for (const auto* v : {&o.version, &o.update_name, &o.update_url}) {
        if (!SafeInfoValue(*v)) {
            error = "--version, --update-name and --update-url must not hold quotes or line breaks";
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- server

ProxyServer::ProxyServer(ProxyOptions options)
    : options_(std::move(options)), catalogue_(std::make_unique<Catalogue>(
                                        options_.seed, Catalogue::Shape{options_.items, options_.sellers})),
      searcher_(std::make_unique<Searcher>(*catalogue_)), server_(std::make_unique<httplib::Server>()),
      faults_(options_.faults) {
    // A client that goes away mid-answer must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    pindao_html_ = ChannelPage(*catalogue_);
    huodong_html_ = Utf8ToGbk(EventPage(*catalogue_));
    for (int level = 1; level <= 20; ++level)
        credit_icons_.push_back(CreditIconGif(level));
    if (!options_.log_path.empty()) {
        log_ = std::fopen(options_.log_path.c_str(), "a");
        if (!log_) throw std::runtime_error("cannot open log file " + options_.log_path);
    }
    server_->new_task_queue = [] { return new httplib::ThreadPool(16); };
    // The library's default is SO_REUSEPORT, which lets a second proxy share a
    // busy port silently; a busy port must be an error instead.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Answers go out as headers and body in two writes; without this, Nagle and
    // delayed ACKs hold every answer back by tens of milliseconds.
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_timeout(2);
    server_->set_read_timeout(5);
    server_->set_payload_max_length(64 * 1024);
    Routes();
}

ProxyServer::~ProxyServer() {
    Stop();
    if (log_) std::fclose(log_);
}

int ProxyServer::Bind() {
    if (options_.port == 0) {
        port_ = server_->bind_to_any_port(options_.host);
    } else {
        port_ = server_->bind_to_port(options_.host, options_.port) ? options_.port : -1;
    }
    return port_;
}

void ProxyServer::Run() {
    server_->listen_after_bind();
}

int ProxyServer::Start() {
    if (Bind() < 0) return -1;
    thread_ = std::thread([this] { Run(); });
    // listen_after_bind sets the running flag first thing; wait for it so a
    // Stop() right after Start() is not lost.
    for (int i = 0; i < 2000 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port_;
}

void ProxyServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(stop_mutex_);
        stopping_ = true;
    }
    stop_cv_.notify_all();
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::string ProxyServer::BaseUrl() const {
    return "http://" + options_.host + ":" + std::to_string(port_);
}

void ProxyServer::SetFaults(Faults faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_ = std::move(faults);
}

Faults ProxyServer::faults() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return faults_;
}

std::uint64_t ProxyServer::Hits(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = hits_.find(path);
    return it == hits_.end() ? 0 : it->second;
}

std::string ProxyServer::RequestBase(const httplib::Request& req) const {
    const std::string host = req.get_header_value("Host");
    return "http://" + (ValidHost(host) ? host : options_.host + ":" + std::to_string(port_));
}

void ProxyServer::SendXml(httplib::Response& res, const std::string& body, int status) const {
    res.status = status;
    res.set_content(FinishXml(body, options_.gbk),
                    options_.gbk ? "text/xml; charset=GBK" : "text/xml; charset=utf-8");
}

void ProxyServer::LogRequest(const httplib::Request& req) {
    requests_.fetch_add(1);
    std::lock_guard<std::mutex> lock(mutex_);
    // Bounded, so a stream of made-up paths cannot grow it without end.
    if (hits_.size() < 2000 || hits_.count(req.path)) ++hits_[req.path];
    if (log_) {
        std::fprintf(log_, "%s %s\n", req.method.c_str(), req.target.c_str());
        std::fflush(log_);
    }
}

bool ProxyServer::ApplyFaults(const httplib::Request& req, httplib::Response& res) {
    if (req.path.rfind("/control/", 0) == 0) return false;
    const Faults f = faults();
    if (f.delay_ms > 0) {
        std::unique_lock<std::mutex> lock(stop_mutex_);
        stop_cv_.wait_for(lock, std::chrono::milliseconds(f.delay_ms), [this] { return stopping_; });
    }
    if (f.stall_paths.count(req.path)) {
        std::unique_lock<std::mutex> lock(stop_mutex_);
        stop_cv_.wait_for(lock, std::chrono::milliseconds(options_.stall_ms), [this] { return stopping_; });
        lock.unlock();
        ShutConnection(req);
        res.status = 503;
        return true;
    }
    if (f.close_paths.count(req.path)) {
        ShutConnection(req);
        res.status = 503;
        return true;
    }
    if (f.fail_paths.count(req.path)) {
        res.status = 500;
        res.set_content("Internal Server Error\n", "text/plain; charset=utf-8");
        return true;
    }
    return false;
}

void ProxyServer::Routes() {
    auto& s = *server_;
    s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        LogRequest(req);
        return ApplyFaults(req, res) ? httplib::Server::HandlerResponse::Handled
                                     : httplib::Server::HandlerResponse::Unhandled;
    });
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        std::string text = std::to_string(res.status) + " ";
        switch (res.status) {
        case 400:
            text += "Bad Request";
            break;
        case 404:
            text += "Not Found";
            break;
        case 405:
            text += "Method Not Allowed";
            break;
        case 414:
            text += "URI Too Long";
            break;
        default:
            text += "Error";
            break;
        }
        res.set_content(text + "\n", "text/plain; charset=utf-8");
    });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("500 Internal Server Error\n", "text/plain; charset=utf-8");
    });

    // Signed catalogue services. Malformed values give 400; the answer body
    // is the platform's error shape either way.
    auto guarded = [this](void (ProxyServer::*handler)(const httplib::Request&, httplib::Response&)) {
        return [this, handler](const httplib::Request& req, httplib::Response& res) {
            try {
                (this->*handler)(req, res);
            } catch (const BadRequest& e) {
                SendXml(res, ErrorAnswer(e.code, e.msg), 400);
            }
        };
    };
    s.Get(TbkItemsPath, guarded(&ProxyServer::HandleTbkItems));
    s.Get(TbItemcatsPath, guarded(&ProxyServer::HandleItemcats));
    s.Get(TbItemsPath, guarded(&ProxyServer::HandleTbItems));
    s.Get(TbkItemsConvertPath, guarded(&ProxyServer::HandleConvert));
    s.Get(OkPath, [this](const httplib::Request& req, httplib::Response& res) { HandleOk(req, res); });

    s.Get(PindaoPath, [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(pindao_html_, "text/html; charset=utf-8");
    });
    s.Get(HuodongPath, [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(huodong_html_, "text/html; charset=GBK");
    });
    s.Get(CountPath, [this](const httplib::Request&, httplib::Response& res) {
        const std::uint64_t visit = count_visits_.fetch_add(1) + 1;
        res.set_header("Cache-Control", "no-store");
        res.set_content(CountPage(visit), "text/html; charset=utf-8");
    });
    s.Get(kUpdateArchivePath, [this](const httplib::Request&, httplib::Response& res) {
        std::ifstream in(options_.update_archive, std::ios::binary);
        if (options_.update_archive.empty() || !in) {
            res.status = 404;
            return;
        }
        std::ostringstream data;
        data << in.rdbuf();
        res.set_content(data.str(), "application/zip");
    });

    // Pictures: pic_url plus "_sum.jpg" (80 px), "_160x160.jpg" or "_310x310.jpg".
    s.Get(R"(/pic/(\d{1,20})(_sum\.jpg|_160x160\.jpg|_310x310\.jpg|\.jpg)?)",
          [this](const httplib::Request& req, httplib::Response& res) {
              const auto id = ParseInt(req.matches[1].str(), 0, 999999999999999999LL);
              if (!id || !catalogue_->FindItem(static_cast<std::uint64_t>(*id))) {
                  res.status = 404;
                  return;
              }
              const std::string suffix = req.matches[2].str();
              const int size = suffix == "_sum.jpg" ? 80 : suffix == "_160x160.jpg" ? 160 : 310;
              res.set_header("Cache-Control", "max-age=86400");
              res.set_content(ItemPicturePng(static_cast<std::uint64_t>(*id), size), "image/png");
          });
    s.Get(R"(/newrank/([A-Za-z0-9_]{1,40}\.gif))",
          [this](const httplib::Request& req, httplib::Response& res) {
              const auto& names = tables::CreditIcons();
              const auto it = std::find(names.begin(), names.end(), req.matches[1].str());
              if (it == names.end()) {
                  res.status = 404;
                  return;
              }
              res.set_header("Cache-Control", "max-age=86400");
              res.set_content(credit_icons_[static_cast<std::size_t>(it - names.begin())], "image/gif");
          });

    // Landing pages of the click links.
    auto item_page = [this](const httplib::Request& req, httplib::Response& res) {
        const auto id = ParseInt(req.matches[1].str(), 0, 999999999999999999LL);
        const Item* item = id ? catalogue_->FindItem(static_cast<std::uint64_t>(*id)) : nullptr;
        if (!item) {
            res.status = 404;
            return;
        }
        res.set_content(ItemPage(*catalogue_, *item, Param(req, "pid")), "text/html; charset=utf-8");
    };
    s.Get(R"(/click/item/(\d{1,20}))", item_page);
    s.Get(R"(/item/(\d{1,20}))", item_page);
    s.Get(R"(/click/shop/(\d{1,9}))", [this](const httplib::Request& req, httplib::Response& res) {
        const auto n =
            ParseInt(req.matches[1].str(), 1, static_cast<std::int64_t>(catalogue_->sellers().size()));
        if (!n) {
            res.status = 404;
            return;
        }
        const Seller& seller = catalogue_->sellers()[static_cast<std::size_t>(*n - 1)];
        res.set_content(ShopPage(*catalogue_, seller, Param(req, "pid")), "text/html; charset=utf-8");
    });

    s.Get(R"(/control/(\w+))",
          [this](const httplib::Request& req, httplib::Response& res) { HandleControl(req, res); });
}

void ProxyServer::HandleTbkItems(const httplib::Request& req, httplib::Response& res) {
    std::string error;
    if (!CheckSigned(req, error)) return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature", error));
    auto cond = ReadCond<Taobaoke_Items_Traits>(req);
    const std::string stamp = Param(req, "stamp"), sign = Param(req, "sign");
    if (!req.has_param("keyword")) {
        // The client leaves "&keyword=" out exactly when the keyword is the word
        // "keyword", yet signs it; an absent keyword is thus either nothing or
        // that word, and whichever signature matches tells which.
        cond.keyword.clear();
        if (!SignatureMatches<Taobaoke_Items_Traits>(cond, stamp, sign)) cond.keyword = "keyword";
    }
    if (!SignatureMatches<Taobaoke_Items_Traits>(cond, stamp, sign))
        return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature"));

    if (!IsValidUtf8(cond.keyword)) Invalid("keyword");
    if (!IsValidUtf8(cond.area)) Invalid("area");
    if (cond.cid.empty() && cond.keyword.empty()) Missing("cid or keyword");

    SearchQuery q;
    q.terms = SplitTerms(cond.keyword);
    q.cid = CidParam(req, "cid");
    q.start_price_cents = PriceParam(req, "start_price");
    q.end_price_cents = PriceParam(req, "end_price");
    if (!cond.start_credit.empty()) {
        auto level = ParseCredit(cond.start_credit);
        if (!level) Invalid("start_credit");
        q.start_credit = *level;
    }
    if (!cond.end_credit.empty()) {
        auto level = ParseCredit(cond.end_credit);
        if (!level) Invalid("end_credit");
        q.end_credit = *level;
    }
    q.areas = SplitList(cond.area, ',');
    if (cond.guarantee == "true")
        q.guarantee = true;
    else if (!cond.guarantee.empty() && cond.guarantee != "false")
        Invalid("guarantee");
    if (!cond.sort.empty()) {
        auto key = ParseSearchSort(cond.sort);
        if (!key) Invalid("sort");
        q.sort = *key;
    }
    q.page_no = PageParam(req, "page_no");

    const Page page = searcher_->Search(q);
    SendXml(res, TbkItemsAnswer(*catalogue_, page, q.terms, {RequestBase(req), cond.pid, FieldsParam(req)}));
}

void ProxyServer::HandleItemcats(const httplib::Request& req, httplib::Response& res) {
    std::string error;
    if (!CheckSigned(req, error)) return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature", error));
    const auto cond = ReadCond<Taobao_Itemcats_Traits>(req);
    if (!SignatureMatches<Taobao_Itemcats_Traits>(cond, Param(req, "stamp"), Param(req, "sign")))
        return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature"));
    if (cond.cids.empty() && cond.parent_cid.empty()) Missing("cids or parent_cid");

    std::vector<const Category*> cats;
    if (!cond.cids.empty()) {
        const auto ids = SplitList(cond.cids, ',');
        if (ids.size() > 1000) Invalid("cids");
        for (const auto& text : ids) {
            auto cid = ParseInt(text, 0, 999999999999LL);
            if (!cid) Invalid("cids");
            if (const Category* c = catalogue_->FindCategory(*cid)) cats.push_back(c);
        }
    } else {
        auto parent = ParseInt(cond.parent_cid, 0, 999999999999LL);
        if (!parent) Invalid("parent_cid");
        cats = catalogue_->Children(*parent);
    }
    SendXml(res, ItemcatsAnswer(cats, {RequestBase(req), cond.pid, FieldsParam(req)}));
}

void ProxyServer::HandleTbItems(const httplib::Request& req, httplib::Response& res) {
    std::string error;
    if (!CheckSigned(req, error)) return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature", error));
    const auto cond = ReadCond<Taobao_Items_Traits>(req);
    if (!SignatureMatches<Taobao_Items_Traits>(cond, Param(req, "stamp"), Param(req, "sign")))
        return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature"));
    if (!IsValidUtf8(cond.q)) Invalid("q");
    if (!IsValidUtf8(cond.nicks)) Invalid("nicks");
    if (cond.q.empty() && cond.cid.empty() && cond.nicks.empty()) Missing("q, cid or nicks");

    ShopQuery q;
    q.nicks = SplitList(cond.nicks, ',');
    q.terms = SplitTerms(cond.q);
    q.cid = CidParam(req, "cid");
    q.start_price_cents = PriceParam(req, "start_price");
    q.end_price_cents = PriceParam(req, "end_price");
    if (!cond.order_by.empty()) {
        auto key = ParseShopOrder(cond.order_by);
        if (!key) Invalid("order_by");
        q.sort = *key;
    }
    q.page_no = PageParam(req, "page_no");
    const Page page = searcher_->ListShop(q);
    SendXml(res, TbItemsAnswer(*catalogue_, page, {RequestBase(req), cond.pid, FieldsParam(req)}));
}

void ProxyServer::HandleConvert(const httplib::Request& req, httplib::Response& res) {
    std::string error;
    if (!CheckSigned(req, error)) return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature", error));
    const auto cond = ReadCond<Taobaoke_Items_Convert_Traits>(req);
    if (!SignatureMatches<Taobaoke_Items_Convert_Traits>(cond, Param(req, "stamp"), Param(req, "sign")))
        return SendXml(res, ErrorAnswer(kErrSignature, "Invalid signature"));
    if (cond.num_iids.empty()) Missing("num_iids");

    const auto ids = SplitList(cond.num_iids, ',');
    if (ids.size() > kMaxConvertIds) Invalid("num_iids");
    std::vector<const Item*> items;
    for (const auto& text : ids) {
        auto id = ParseInt(text, 0, 999999999999999999LL);
        if (!id) Invalid("num_iids");
        const Item* item = catalogue_->FindItem(static_cast<std::uint64_t>(*id));
        if (item && std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
    }
    // The platform does not keep the order of the ids; neither do we, so
    // clients must pair the rows by num_iid.
    std::reverse(items.begin(), items.end());
    SendXml(res, ConvertAnswer(*catalogue_, items, {RequestBase(req), cond.pid, FieldsParam(req)}));
}

void ProxyServer::HandleOk(const httplib::Request& req, httplib::Response& res) {
    if (Param(req, "pid").empty()) {
        res.status = 400;
        res.set_content("error", "text/plain; charset=utf-8");
        return;
    }
    const std::string base = RequestBase(req);
    const std::string update_url =
        options_.update_url.empty() ? base + kUpdateArchivePath : options_.update_url;
    // Line 1 is a header; lines 2 to 7 are read by position: notice, home page,
    // update name, version, update URL, build.
    std::string text = "[Velmora]\r\n";
    text += "notice=欢迎使用 Velmora 购物助手\r\n";
    text += "home=" + base + "/aobao/III/pindao.html\r\n";
    text += "UpdateName=" + options_.update_name + "\r\n";
    text += "Version=" + options_.version + "\r\n";
    text += "UpdateUrl=" + update_url + "\r\n";
    text += "build=velmora-proxy seed " + std::to_string(options_.seed) + "\r\n";
    res.set_content(text, "text/plain; charset=utf-8");
}

void ProxyServer::HandleControl(const httplib::Request& req, httplib::Response& res) {
    const std::string what = req.matches[1].str();
    std::string out;
    if (what == "ping") {
        out = "ok\n";
    } else if (what == "reset") {
        SetFaults({});
        out = "ok\n";
    } else if (what == "faults") {
        Faults f = faults();
        if (req.has_param("delay_ms")) {
            auto n = ParseInt(Param(req, "delay_ms"), 0, 600000);
            if (!n) {
                res.status = 400;
                res.set_content("delay_ms: expected 0 to 600000\n", "text/plain; charset=utf-8");
                return;
            }
            f.delay_ms = static_cast<int>(*n);
        }
        if (req.has_param("stall")) SetPaths(f.stall_paths, Param(req, "stall"));
        if (req.has_param("fail")) SetPaths(f.fail_paths, Param(req, "fail"));
        if (req.has_param("close")) SetPaths(f.close_paths, Param(req, "close"));
        SetFaults(f);
        out = "delay_ms=" + std::to_string(f.delay_ms) + "\nstall=" + JoinPaths(f.stall_paths) +
              "\nfail=" + JoinPaths(f.fail_paths) + "\nclose=" + JoinPaths(f.close_paths) + "\n";
    } else if (what == "stats") {
        out = "count_visits=" + std::to_string(count_visits_.load()) + "\n";
        out += "requests=" + std::to_string(requests_.load()) + "\n";
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [path, n] : hits_)
            out += "hits " + path + "=" + std::to_string(n) + "\n";
    } else {
        res.status = 404;
        return;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(out, "text/plain; charset=utf-8");
}

} // namespace proxy
