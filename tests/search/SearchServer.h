// A small affiliate search service on 127.0.0.1 (ephemeral port) for the search
// workspace tests: answers built from what a test puts in, a failure switch, an
// optional hold of every search answer, and the search requests received.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SearchServer {
public:
    SearchServer() {
        FServer.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
        FPort = FServer.bind_to_any_port("127.0.0.1");
        FThread = std::thread([this] { FServer.listen_after_bind(); });
        while (!FServer.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~SearchServer() {
        Release();
        FServer.stop();
        FThread.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(FPort); }

    // Every search answer reports `total` results and holds `items` items.
    void SetResults(int total, int items, std::string total_text = {}) {
        std::lock_guard lock(FMutex);
        FTotal = total_text.empty() ? std::to_string(total) : total_text;
        FItems = items;
    }
    // Title of item 0 (as text; the XML escaping is done here).
    void SetFirstTitle(std::string title) {
        std::lock_guard lock(FMutex);
        FFirstTitle = std::move(title);
    }
    void Fail(bool on) {
        std::lock_guard lock(FMutex);
        FFail = on;
    }
    // While held, search answers wait until Release.
    void Hold() {
        std::lock_guard lock(FMutex);
        FHeld = true;
    }
    void Release() {
        std::lock_guard lock(FMutex);
        FHeld = false;
        FCv.notify_all();
    }
    // Query parameters of every search request so far, in order.
    std::vector<std::multimap<std::string, std::string>> Searches() {
        std::lock_guard lock(FMutex);
        return FSearches;
    }
    size_t SearchCount() {
        std::lock_guard lock(FMutex);
        return FSearches.size();
    }

private:
    static std::string XmlText(const std::string& s) {
        std::string out;
        for (char c : s) {
            if (c == '<')
                out += "&lt;";
            else if (c == '&')
                out += "&amp;";
            else if (c == '>')
                out += "&gt;";
            else
                out += c;
        }
        return out;
    }

    void Answer(const httplib::Request& req, httplib::Response& res) {
        std::unique_lock lock(FMutex);
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
        if (req.path == "/aobao/tbk_items.php") {
            std::multimap<std::string, std::string> params(req.params.begin(), req.params.end());
            FSearches.push_back(params);
            FCv.wait(lock, [this] { return !FHeld; });
            if (FFail) {
                res.status = 500;
                return;
            }
            const std::string page = req.get_param_value("page_no");
            xml += "<tbk_items_get_response><total_results>" + FTotal + "</total_results><taobaoke_items>";
            for (int i = 0; i < FItems; ++i) {
                const std::string id = page + "-" + std::to_string(i);
                const std::string title = (i == 0 && !FFirstTitle.empty()) ? FFirstTitle : "Item " + id;
                xml += "<taobaoke_item><nick>seller" + std::to_string(i % 3) + "</nick><title>" +
                       XmlText(title) + "</title><price>1" + std::to_string(i) +
                       ".00</price><pic_url>http://pic.example/" + id +
                       "</pic_url><click_url>http://click.example/" + id +
                       "</click_url><shop_click_url>http://shop.example/" + std::to_string(i % 3) +
                       "</shop_click_url><seller_credit_score>" + std::to_string(i % 20 + 1) +
                       "</seller_credit_score><item_location>杭州</item_location><volume>" +
                       std::to_string(i) + "</volume></taobaoke_item>";
            }
            xml += "</taobaoke_items></tbk_items_get_response>";
        } else if (req.path == "/aobao/tb_itemcats.php") {
            xml += "<itemcats_get_response><item_cats>";
            if (req.get_param_value("parent_cid") == "0")
                xml += "<item_cat><cid>16</cid><name>女装/女士精品</name><is_parent>false</is_parent>"
                       "<parent_cid>0</parent_cid></item_cat>";
            xml += "</item_cats></itemcats_get_response>";
        } else {
            res.status = 404;
            return;
        }
        res.set_content(xml, "text/xml");
    }

    httplib::Server FServer;
    int FPort = 0;
    std::thread FThread;
    std::mutex FMutex;
    std::condition_variable FCv;
    std::string FTotal = "100";
    int FItems = 40;
    std::string FFirstTitle;
    bool FFail = false;
    bool FHeld = false;
    std::vector<std::multimap<std::string, std::string>> FSearches;
};
