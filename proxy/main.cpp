// velmora-proxy: the reference proxy with its sample catalogue.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

#include "proxy/Catalogue.h"
#include "proxy/Server.h"

int main(int argc, char** argv) {
    proxy::ProxyOptions options;
    bool help = false;
    std::string error;
    if (!proxy::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, help, error)) {
        std::fprintf(stderr, "velmora-proxy: %s\n%s", error.c_str(), proxy::Usage().c_str());
        return 2;
    }
    if (help) {
        std::fputs(proxy::Usage().c_str(), stdout);
        return 0;
    }

    // SIGINT and SIGTERM are taken by one thread, which stops the server; every
    // other thread inherits the blocked mask.
    // A parent may hand down SIGINT or SIGTERM ignored (background jobs of a
    // shell, some test runners); an ignored signal never reaches sigtimedwait.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

    try {
        proxy::ProxyServer server(options);
        if (server.Bind() < 0) {
            std::fprintf(stderr, "velmora-proxy: cannot listen on %s:%d\n", options.host.c_str(),
                         options.port);
            return 1;
        }
        std::atomic<bool> done{false};
        std::thread waiter([&] {
            const timespec tick{0, 200 * 1000 * 1000};
            while (!done.load()) {
                if (sigtimedwait(&stop_signals, nullptr, &tick) > 0) {
                    server.Stop();
                    return;
                }
            }
        });
        std::printf("velmora-proxy listening on %s (%zu items, %zu sellers%s)\n", server.BaseUrl().c_str(),
                    server.catalogue().items().size(), server.catalogue().sellers().size(),
                    options.gbk ? ", GBK" : "");
        std::fflush(stdout);
        server.Run();
        // Run() also returns when the server fails; the waiter then ends by itself.
        done = true;
        waiter.join();
        server.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-proxy: %s\n", e.what());
        return 1;
    }
    return 0;
}
