// Serving speed of velmora-proxy: signed 40-item search pages over loopback,
// keep-alive connections, the server in this process. Bounded: stops after a
// fixed number of requests or a time limit, whichever comes first.
//   velmora_proxy_bench [requests per client (default 3000)]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "proxy/Catalogue.h"
#include "proxy/Server.h"
#include "service/Request.h"
#include "service/Taobaoke_Items.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string SearchTarget(const char* keyword, const char* sort, int page) {
    Tbk_Items_Cond cond{};
    cond.pid = PublisherId;
    cond.url = TbkItemsPath;
    cond.cid = "0";
    cond.keyword = keyword;
    cond.sort = sort;
    cond.page_no = std::to_string(page);
    Tbk_Items_Info names{};
    TFetcher<Taobaoke_Items_Traits>::PrepareNames(names);
    return TFetcher<Taobaoke_Items_Traits>::BuildUrl(cond, names, GetStamp());
}

struct Result {
    long requests = 0, failures = 0;
    double seconds = 0;
};

Result Run(int port, const std::vector<std::string>& targets, int clients, long per_client, double limit_s) {
    std::atomic<long> done{0}, failed{0};
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::duration<double>(limit_s);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            for (long i = 0; i < per_client && Clock::now() < deadline; ++i) {
                auto res = client.Get(targets[(i + c) % targets.size()].c_str());
                if (!res || res->status != 200 || res->body.size() < 1000) failed.fetch_add(1);
                done.fetch_add(1);
            }
        });
    }
    for (auto& t : threads)
        t.join();
    return {done.load(), failed.load(), std::chrono::duration<double>(Clock::now() - start).count()};
}

} // namespace

int main(int argc, char** argv) {
    const long per_client = argc > 1 ? std::atol(argv[1]) : 3000;
    proxy::ProxyOptions options;
    options.port = 0;
    proxy::ProxyServer server(options);
    const int port = server.Start();
    if (port <= 0) {
        std::fprintf(stderr, "cannot start the proxy\n");
        return 1;
    }
    struct Mix {
        const char* name;
        std::vector<std::string> targets;
    };
    const std::vector<Mix> mixes = {
        {"all categories, commission volume, pages 1-5",
         {SearchTarget("", "commissionVolume_desc", 1), SearchTarget("", "commissionVolume_desc", 2),
          SearchTarget("", "commissionVolume_desc", 3), SearchTarget("", "commissionVolume_desc", 4),
          SearchTarget("", "commissionVolume_desc", 5)}},
        {"keyword \"包邮\", price ascending, page 1", {SearchTarget("包邮", "price_asc", 1)}},
    };
    std::printf(
        "velmora-proxy benchmark: %zu items, 40-item pages, loopback keep-alive, %ld requests per client\n",
        server.catalogue().items().size(), per_client);
    for (const Mix& mix : mixes) {
        for (int clients : {1, 2}) {
            Run(port, mix.targets, clients, 50, 5); // warm-up
            const Result r = Run(port, mix.targets, clients, per_client, 20);
            std::printf("  %-48s %d client%s: %7.0f requests/s (%ld requests, %ld failed, %.2f s)\n",
                        mix.name, clients, clients == 1 ? " " : "s", r.requests / r.seconds, r.requests,
                        r.failures, r.seconds);
        }
    }
    server.Stop();
    return 0;
}
