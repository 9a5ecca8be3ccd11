// An HTTP server on 127.0.0.1 (ephemeral port) for the service tests: records
// every request target and Cookie header and answers through a replaceable
// handler. A handler may stall until the server is torn down.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    LoopbackServer() {
        FServer.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            Handler h;
            {
                std::lock_guard lock(FMutex);
                FTargets.push_back(req.target);
                FCookies.push_back(req.get_header_value("Cookie"));
                h = FHandler;
            }
            if (h)
                h(req, res);
            else
                res.status = 404;
        });
        FPort = FServer.bind_to_any_port("127.0.0.1");
        FThread = std::thread([this] { FServer.listen_after_bind(); });
        while (!FServer.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LoopbackServer() {
        {
            std::lock_guard lock(FMutex);
            FReleased = true;
        }
        FCv.notify_all();
        FServer.stop();
        FThread.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(FPort); }

    void Respond(Handler h) {
        std::lock_guard lock(FMutex);
        FHandler = std::move(h);
    }

    // Answers every request with the body (status 200).
    void Serve(std::string body) {
        Respond([body = std::move(body)](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "text/xml");
        });
    }

    // Sends nothing until the server goes away.
    void Stall() {
        Respond([this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(FMutex);
            FCv.wait_for(lock, std::chrono::seconds(20), [this] { return FReleased; });
            res.set_content("<r><total_results>1</total_results></r>", "text/xml");
        });
    }

    std::vector<std::string> Targets() {
        std::lock_guard lock(FMutex);
        return FTargets;
    }
    std::vector<std::string> Cookies() {
        std::lock_guard lock(FMutex);
        return FCookies;
    }

private:
    httplib::Server FServer;
    int FPort = 0;
    std::thread FThread;
    std::mutex FMutex;
    std::condition_variable FCv;
    bool FReleased = false;
    Handler FHandler;
    std::vector<std::string> FTargets;
    std::vector<std::string> FCookies;
};
