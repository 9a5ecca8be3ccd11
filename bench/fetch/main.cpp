// Times Fetch of a 40-item search answer on loopback against a bare libcurl GET
// of the same URL and bytes, and the parse alone. Prints the figures.
#include "service/Data.h"
#include "service/Taobaoke_Items.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string SearchAnswer(int items) {
    std::string x = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                    "\n<taobaoke_items_get_response><total_results>4000</total_results><taobaoke_items>\n";
    for (int i = 0; i < items; ++i) {
        const std::string n = std::to_string(i);
        x += "<taobaoke_item><nick>卖家" + n + "</nick><title>新款女装 连衣裙 第" + n +
             "号 夏季 修身</title><price>" + std::to_string(100 + i) +
             ".00</price><pic_url>http://img.example.com/bao/uploaded/i" + n + ".jpg</pic_url><num_iid>" +
             std::to_string(1000000 + i) +
             "</num_iid><click_url>http://s.click.example.com/t_js?tu=abcdefghijklmnopqrstuvwxyz" + n +
             "</click_url><commission>5.00</commission><commission_num>12</commission_num>"
             "<commission_rate>500.00</commission_rate><commission_volume>60.00</commission_volume>"
             "<shop_click_url>http://s.click.example.com/t_js?shop=" +
             n + "</shop_click_url><seller_credit_score>" + std::to_string(i % 20 + 1) +
             "</seller_credit_score><item_location>浙江 杭州</item_location><volume>" +
             std::to_string(i * 7) + "</volume></taobaoke_item>\n";
    }
    return x + "</taobaoke_items></taobaoke_items_get_response>\n";
}

size_t Sink(char* d, size_t s, size_t n, void* u) {
    static_cast<std::string*>(u)->append(d, s * n);
    return s * n;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    HttpGlobalInit();
    const std::string body = SearchAnswer(40);

    httplib::Server server;
    server.set_tcp_nodelay(true); // header and body leave without waiting for an ACK
    server.Get(".*",
               [&](const httplib::Request&, httplib::Response& res) { res.set_content(body, "text/xml"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serverThread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    // A fixed stamp, so both clients ask for the very same URL.
    const auto when = std::chrono::system_clock::from_time_t(1285372800);
    SetStampClock([when] { return when; });
    Tbk_Items_Cond cond;
    cond.pid = PublisherId;
    cond.url = base + TbkItemsPath;
    cond.cid = "0";
    cond.keyword = "连衣裙";
    cond.sort = SortKeys[0];
    cond.page_no = "1";
    Tbk_Items_Info names;
    TTaobaoke_Items::PrepareNames(names);
    const std::string url = TTaobaoke_Items::BuildUrl(cond, names, GetStamp());

    TTaobaoke_Items comp;
    CURL* bare = curl_easy_init();
    std::string got;
    curl_easy_setopt(bare, CURLOPT_URL, url.c_str());
    curl_easy_setopt(bare, CURLOPT_WRITEFUNCTION, Sink);
    curl_easy_setopt(bare, CURLOPT_WRITEDATA, &got);

    const ATbk_Items_Info* rows = nullptr;
    constexpr int Rounds = 7, PerRound = 200;
    const auto delayedRatio = [&](int delayMs) {
        // The same exchange against a server that takes delayMs to answer, as a
        // real network round trip would.
        httplib::Server slow;
        slow.set_tcp_nodelay(true);
        slow.Get(".*", [&](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            res.set_content(body, "text/xml");
        });
        const int slowPort = slow.bind_to_any_port("127.0.0.1");
        std::thread t([&] { slow.listen_after_bind(); });
        while (!slow.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Tbk_Items_Cond c = cond;
        c.url = "http://127.0.0.1:" + std::to_string(slowPort) + TbkItemsPath;
        const std::string slowUrl = TTaobaoke_Items::BuildUrl(c, names, GetStamp());
        CURL* h = curl_easy_init();
        std::string sink;
        curl_easy_setopt(h, CURLOPT_URL, slowUrl.c_str());
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Sink);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
        TTaobaoke_Items k;
        const ATbk_Items_Info* r = nullptr;
        k.Fetch(c, {}, r);
        curl_easy_perform(h);
        constexpr int N = 100;
        auto t0 = Clock::now();
        for (int i = 0; i < N; ++i)
            k.Fetch(c, {}, r);
        auto t1 = Clock::now();
        for (int i = 0; i < N; ++i)
            curl_easy_perform(h);
        auto t2 = Clock::now();
        curl_easy_cleanup(h);
        slow.stop();
        t.join();
        return std::chrono::duration<double>(t1 - t0).count() /
               std::chrono::duration<double>(t2 - t1).count();
    };
    std::vector<double> fetchUs, curlUs, parseUs;
    // Warm-up of both paths (connections, allocator).
    for (int i = 0; i < 20; ++i) {
        comp.Fetch(cond, {}, rows);
        got.clear();
        curl_easy_perform(bare);
    }
    for (int r = 0; r < Rounds; ++r) {
        auto t0 = Clock::now();
        for (int i = 0; i < PerRound; ++i)
            if (!comp.Fetch(cond, {}, rows)) return std::fprintf(stderr, "fetch failed\n"), 1;
        auto t1 = Clock::now();
        for (int i = 0; i < PerRound; ++i) {
            got.clear();
            if (curl_easy_perform(bare) != CURLE_OK || got != body)
                return std::fprintf(stderr, "bare GET failed\n"), 1;
        }
        auto t2 = Clock::now();
        for (int i = 0; i < PerRound; ++i)
            if (!comp.ParseAnswer({}, body, rows)) return std::fprintf(stderr, "parse failed\n"), 1;
        auto t3 = Clock::now();
        auto us = [](auto a, auto b) {
            return std::chrono::duration<double, std::micro>(b - a).count() / PerRound;
        };
        fetchUs.push_back(us(t0, t1));
        curlUs.push_back(us(t1, t2));
        parseUs.push_back(us(t2, t3));
    }
    if ((*rows)[39].title.empty() || !(*rows)[40].title.empty())
        return std::fprintf(stderr, "rows wrong\n"), 1;

    const double f = Median(fetchUs), c = Median(curlUs), p = Median(parseUs);
    std::printf("answer: 40 items, %zu bytes; %d rounds of %d requests (medians)\n", body.size(), Rounds,
                PerRound);
    std::printf("Fetch            %8.1f us per request\n", f);
    std::printf("bare libcurl GET %8.1f us per request\n", c);
    std::printf("ratio Fetch/GET  %8.3f (goal <= 1.15)\n", f / c);
    std::printf("parse only       %8.1f us per answer\n", p);
    std::printf("ratio Fetch/GET with a 2 ms server delay %6.3f\n", delayedRatio(2));

    curl_easy_cleanup(bare);
    server.stop();
    serverThread.join();
    return 0;
}
