// Runs the real velmora-proxy executable as a child process for a test: on a
// given or a free loopback port, with given flags. The constructor returns once
// the proxy answers; the destructor stops it.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ProxyProcess {
public:
    // port 0 lets the proxy pick a free port. extraArgs are further flags
    // ("--gbk", "--delay-ms", "200", ...). Throws std::runtime_error when the
    // proxy does not come up within startTimeoutMs.
    explicit ProxyProcess(std::vector<std::string> extraArgs = {}, int port = 0, int startTimeoutMs = 20000);
    ~ProxyProcess();
    ProxyProcess(const ProxyProcess&) = delete;
    ProxyProcess& operator=(const ProxyProcess&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT", the form of a server base URL.
    std::string baseUrl() const;
    pid_t pid() const { return m_pid; }
    bool running() const;

    // SIGTERM, then SIGKILL if it has not ended within timeoutMs. Returns the
    // exit status as waitpid gives it, or -1 when it was not running.
    int stop(int timeoutMs = 5000);

    // The path of the velmora-proxy executable the tests were built with.
    static std::string executable();

private:
    pid_t m_pid = -1;
    int m_port = -1;
};
