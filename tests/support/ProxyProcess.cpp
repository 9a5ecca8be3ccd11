#include "tests/support/ProxyProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

// One GET of the control ping over a plain socket; true on an HTTP 200.
bool pings(int port, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string req = "GET /control/ping HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        if (::send(fd, req.data(), req.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(req.size())) {
            char buf[64] = {};
            const ssize_t n = ::recv(fd, buf, sizeof buf - 1, 0);
            ok = n > 12 && std::strncmp(buf, "HTTP/1.1 200", 12) == 0;
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

std::string ProxyProcess::executable() {
    return VELMORA_PROXY_EXECUTABLE;
}

ProxyProcess::ProxyProcess(std::vector<std::string> extraArgs, int port, int startTimeoutMs) {
    std::vector<std::string> args = {executable(), "--port", std::to_string(port)};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("ProxyProcess: pipe failed");
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        throw std::runtime_error("ProxyProcess: fork failed");
    }
    if (m_pid == 0) {
        // Child: only async-signal-safe calls until exec. The proxy ends with
        // the test process even when the test crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        // Start from default signal handling whatever the test process blocks or ignores.
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);

    // The proxy prints one line once it listens: "... listening on http://HOST:PORT ...".
    const auto deadline = Clock::now() + std::chrono::milliseconds(startTimeoutMs);
    std::string line;
    bool gotLine = false;
    while (!gotLine && msLeft(deadline) > 0) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, msLeft(deadline)) <= 0) break;
        char c;
        const ssize_t n = ::read(out[0], &c, 1);
        if (n <= 0) break; // ended before listening
        if (c == '\n')
            gotLine = true;
        else
            line += c;
    }
    ::close(out[0]);
    const auto at = line.find("listening on http://");
    const auto colon = at == std::string::npos ? std::string::npos : line.find(':', at + 20);
    if (colon != std::string::npos) m_port = std::atoi(line.c_str() + colon + 1);
    while (m_port > 0 && msLeft(deadline) > 0 && !pings(m_port, 1000))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (m_port <= 0 || !pings(m_port, 1000)) {
        stop(1000);
        throw std::runtime_error("ProxyProcess: velmora-proxy did not come up: " + line);
    }
}

ProxyProcess::~ProxyProcess() {
    stop();
}

std::string ProxyProcess::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

bool ProxyProcess::running() const {
    return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0;
}

int ProxyProcess::stop(int timeoutMs) {
    if (m_pid <= 0) return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid || (r < 0 && errno != EINTR)) break;
        if (msLeft(deadline) == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
    return status;
}
