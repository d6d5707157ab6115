#include "serve.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>

namespace kestora::sim {
namespace {

volatile std::sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool writeAll(int fd, const Bytes& b) {
    std::size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = ::write(fd, b.data() + done, b.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The master side of a fresh pseudo-terminal; the slave is kept open here
// too, so the master stays readable while the bridge closes and reopens it.
int openPty(std::string& slavePath, int& slaveFd) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return -1;
    slavePath = ::ptsname(master);
    slaveFd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (slaveFd < 0) return -1;
    termios t{};
    ::tcgetattr(slaveFd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B57600);
    ::tcsetattr(slaveFd, TCSANOW, &t);
    return master;
}

int listenTcp(const std::string& host, int port, int& boundPort) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    const int yes = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) return -1;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 1) != 0) return -1;
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    boundPort = ntohs(a.sin_port);
    return s;
}

}  // namespace

int serve(Simulator& sim, const ServeOptions& o) {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    int link = -1, listener = -1, slaveFd = -1;
    if (o.pty) {
        std::string slave;
        link = openPty(slave, slaveFd);
        if (link < 0) {
            std::cerr << "kestora-sim: no pseudo-terminal: " << std::strerror(errno) << "\n";
            return 1;
        }
        std::cout << slave << std::endl;
    } else {
        int bound = 0;
        listener = listenTcp(o.host, o.port, bound);
        if (listener < 0) {
            std::cerr << "kestora-sim: cannot listen on " << o.host << ":" << o.port << ": " << std::strerror(errno) << "\n";
            return 1;
        }
        std::cout << o.host << ":" << bound << std::endl;
    }

    bool stdinOpen = true;
    std::string pending;
    while (!g_stop) {
        std::vector<pollfd> fds;
        if (link >= 0) fds.push_back({link, POLLIN, 0});
        if (listener >= 0) fds.push_back({listener, POLLIN, 0});
        if (stdinOpen) fds.push_back({0, POLLIN, 0});
        const std::int64_t due = sim.nextDue();
        const int timeout = due < 0 ? 1000 : static_cast<int>(std::max<std::int64_t>(0, due - nowMs()));
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            if (p.fd == listener) {
                const int c = ::accept(listener, nullptr, nullptr);
                if (c < 0) continue;
                if (link >= 0) ::close(link);
                const int yes = 1;
                ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
                link = c;
                std::cerr << "   bridge connected\n";
            } else if (p.fd == link) {
                std::uint8_t buf[512];
                const ssize_t n = ::read(link, buf, sizeof buf);
                if (n > 0) {
                    sim.receive(Bytes(buf, buf + n), nowMs());
                } else if (!o.pty && n == 0) {
                    ::close(link);
                    link = -1;
                    std::cerr << "   bridge disconnected\n";
                }
            } else if (p.fd == 0) {
                char buf[256];
                const ssize_t n = ::read(0, buf, sizeof buf);
                if (n <= 0) {
                    stdinOpen = false;
                    continue;
                }
                pending.append(buf, static_cast<std::size_t>(n));
                for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                    const std::string line = pending.substr(0, nl);
                    pending.erase(0, nl + 1);
                    const std::string err = sim.command(line);
                    std::cout << (err.empty() ? "ok" : "error: " + err) << std::endl;
                }
            }
        }
        for (const Bytes& chunk : sim.take(nowMs()))
            if (link >= 0) writeAll(link, chunk);
    }
    if (!o.memory.empty()) sim.saveMemory(o.memory);
    if (slaveFd >= 0) ::close(slaveFd);
    return 0;
}

}  // namespace kestora::sim
