// A small catalogue service on 127.0.0.1 (ephemeral port) for the browsing
// panel tests: category, shop and conversion answers built from what a test
// puts in, faults on demand, and a count of the requests per path.
#pragma once

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct Category {
    std::string cid, name, is_parent;
};

class CatalogueServer {
public:
    CatalogueServer() {
        FServer.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
        FPort = FServer.bind_to_any_port("127.0.0.1");
        FThread = std::thread([this] { FServer.listen_after_bind(); });
        while (!FServer.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~CatalogueServer() {
        FServer.stop();
        FThread.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(FPort); }

    void Reset() {
        std::lock_guard lock(FMutex);
        FCategories.clear();
        FFailing.clear();
        FCounts.clear();
        FTargets.clear();
        FShopTotal = 0;
        FShopItems = 0;
    }
    // Children of a parent category id ("0": the top level).
    void SetCategories(const std::string& parent, std::vector<Category> rows) {
        std::lock_guard lock(FMutex);
        FCategories[parent] = std::move(rows);
    }
    // Every shop page holds `items` items (ids "<page>0<i>") out of `total`.
    void SetShop(int total, int items) {
        std::lock_guard lock(FMutex);
        FShopTotal = total;
        FShopItems = items;
    }
    // A failing path answers 500 (also a category parent, as "cats:<cid>").
    void Fail(const std::string& what, bool on = true) {
        std::lock_guard lock(FMutex);
        if (on)
            FFailing.insert(what);
        else
            FFailing.erase(what);
    }
    int Count(const std::string& path) {
        std::lock_guard lock(FMutex);
        return FCounts[path];
    }
    std::vector<std::string> Targets() {
        std::lock_guard lock(FMutex);
        return FTargets;
    }
    std::vector<std::string> TargetsOf(const std::string& path) {
        std::lock_guard lock(FMutex);
        std::vector<std::string> found;
        for (const std::string& t : FTargets)
            if (t.compare(0, path.size() + 1, path + "?") == 0) found.push_back(t);
        return found;
    }
    static std::string ItemId(int page, int i) {
        return std::to_string(page) + "0" + std::to_string(100 + i);
    }
    static std::string ClickUrl(const std::string& id) { return "http://click.example/item/" + id; }

private:
    void Answer(const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(FMutex);
        FCounts[req.path]++;
        FTargets.push_back(req.target);
        if (FFailing.count(req.path)) {
            res.status = 500;
            return;
        }
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
        if (req.path == "/aobao/tb_itemcats.php") {
            const std::string parent = req.get_param_value("parent_cid");
            if (FFailing.count("cats:" + parent)) {
                res.status = 500;
                return;
            }
            xml += "<itemcats_get_response><item_cats>";
            for (const Category& c : FCategories[parent])
                xml += "<item_cat><cid>" + c.cid + "</cid><name>" + c.name + "</name><is_parent>" +
                       c.is_parent + "</is_parent><parent_cid>" + parent + "</parent_cid></item_cat>";
            xml += "</item_cats></itemcats_get_response>";
        } else if (req.path == "/aobao/tb_items.php") {
            const int page = std::stoi(req.get_param_value("page_no"));
            xml += "<items_get_response><total_results>" + std::to_string(FShopTotal) +
                   "</total_results><items>";
            for (int i = 0; i < FShopItems; ++i) {
                const std::string id = ItemId(page, i);
                xml += "<item><title>Item " + id + "</title><price>12.00</price><num_iid>" + id +
                       "</num_iid><pic_url>http://pic.example/" + id + "</pic_url><volume>" +
                       std::to_string(i) +
                       "</volume><location><city>杭州</city><state>浙江</state></location></item>";
            }
            xml += "</items></items_get_response>";
        } else if (req.path == "/aobao/tbk_items_convert.php") {
            // The rows come back in the reverse order of the ids asked for.
            std::vector<std::string> ids;
            std::string list = req.get_param_value("num_iids"), id;
            for (char ch : list) {
                if (ch == ',') {
                    if (!id.empty()) ids.push_back(id);
                    id.clear();
                } else {
                    id += ch;
                }
            }
            xml += "<taobaoke_items_convert_response><total_results>" + std::to_string(ids.size()) +
                   "</total_results><taobaoke_items>";
            for (auto it = ids.rbegin(); it != ids.rend(); ++it)
                xml += "<taobaoke_item><num_iid>" + *it + "</num_iid><click_url>" + ClickUrl(*it) +
                       "</click_url></taobaoke_item>";
            xml += "</taobaoke_items></taobaoke_items_convert_response>";
        } else if (req.path == "/aobao/tbk_items.php") {
            // Every search finds one item of seller "first".
            xml += "<taobaoke_items_get_response><total_results>1</total_results><taobaoke_items>"
                   "<taobaoke_item><nick>first</nick><title>found</title><price>1.00</price>"
                   "<pic_url>http://pic.example/f</pic_url><click_url>http://click.example/f</click_url>"
                   "<shop_click_url>http://shop.example/first</shop_click_url><seller_credit_score>3"
                   "</seller_credit_score><item_location>杭州</item_location><volume>1</volume>"
                   "</taobaoke_item></taobaoke_items></taobaoke_items_get_response>";
        } else if (req.path == "/aobao/III/ok.php") {
            res.set_content("[soft]\r\n\r\n\r\n\r\n\r\n\r\n\r\n", "text/plain");
            return;
        } else if (req.path == "/aobao/III/pindao.html" || req.path == "/aobao/III/huodong.html") {
            res.set_content("<html><body><div style=\"height:1500px\">page</div></body></html>", "text/html");
            return;
        } else if (req.path == "/aobao/III/count.html") {
            res.set_content("<html><body></body></html>", "text/html");
            return;
        } else {
            res.status = 404;
            return;
        }
        res.set_content(xml, "text/xml");
    }

    httplib::Server FServer;
    std::thread FThread;
    int FPort = 0;
    std::mutex FMutex;
    std::map<std::string, std::vector<Category>> FCategories;
    std::set<std::string> FFailing;
    std::map<std::string, int> FCounts;
    std::vector<std::string> FTargets;
    int FShopTotal = 0;
    int FShopItems = 0;
};
