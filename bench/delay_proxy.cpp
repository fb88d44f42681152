#include "delay_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace fennick::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

// One direction of one connection: what was read from `from` waits in `queue` until it is due
// on `to`.
struct Flow {
    int from = -1, to = -1;
    std::deque<Chunk> queue;
    bool ended = false;      // `from` has closed
    bool countable = false;  // client to server: its messages are requests
    std::string header;      // of the message being counted
    std::size_t rest = 0;    // bytes of that message still to come
};

struct Connection {
    Flow up, down;
};

int loopbackSocket(std::uint16_t port, bool listen) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    auto* a = reinterpret_cast<sockaddr*>(&address);
    bool ok = fd >= 0 && (listen ? ::bind(fd, a, sizeof address) == 0 && ::listen(fd, 64) == 0
                                 : ::connect(fd, a, sizeof address) == 0);
    if (!ok && fd >= 0) ::close(fd);
    return ok ? fd : -1;
}

void nonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// A link passes on each message as it comes. With Nagle's algorithm the proxy would hold a small
// message back while an earlier one waits for its acknowledgement (up to the peer's delayed-ACK
// time, 40 ms here), as after a server's interim answer, which no network does.
void sendAtOnce(int fd) {
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

struct DelayProxy::State {
    std::mutex lock;
    Link link;
    WireCounts counts;
    bool stalled = false, cutNow = false, stopping = false;
    std::int64_t stallAt = -1;  // bytes down after which to stall; -1: none
    int wake = -1, listener = -1;
    std::uint16_t serverPort = 0;
    std::list<Connection> connections;
    Clock::time_point linkFree[2];  // up, down: when the link is free again

    void poke() {
        std::uint64_t one = 1;
        if (::write(wake, &one, sizeof one) < 0) return;
    }
    void count(Flow& flow, const char* data, std::size_t n) {
        for (std::size_t i = 0; i < n;) {
            if (flow.rest > 0) {
                std::size_t skip = std::min(flow.rest, n - i);
                flow.rest -= skip;
                i += skip;
                continue;
            }
            flow.header += data[i++];
            if (flow.header.size() < 4) continue;
            auto byte = [&](int k) { return static_cast<unsigned char>(flow.header[k]); };
            flow.rest = (std::size_t(byte(1)) << 16) | (byte(2) << 8) | byte(3);
            if (byte(0) == 0) ++counts.requests;
            flow.header.clear();
        }
    }
    // Reads what `from` has; false when the connection is to go.
    bool take(Flow& flow, int direction) {
        char buffer[64 * 1024];
        ssize_t got = ::recv(flow.from, buffer, sizeof buffer, 0);
        if (got == 0) flow.ended = true;
        if (got <= 0) return got == 0 || errno == EAGAIN || errno == EINTR;
        auto now = Clock::now();
        auto bytes = static_cast<std::size_t>(got);
        (direction == 0 ? counts.bytesUp : counts.bytesDown) += got;
        if (direction == 1 && stallAt >= 0 && counts.bytesDown >= stallAt) {
            stalled = true;
            stallAt = -1;
        }
        if (flow.countable) count(flow, buffer, bytes);
        auto departs = std::max(now, linkFree[direction]);
        if (link.bitsPerSecond > 0)
            linkFree[direction] =
                departs + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                              double(bytes) * 8 / link.bitsPerSecond));
        else
            linkFree[direction] = departs;
        flow.queue.push_back({linkFree[direction] + link.oneWay, std::string(buffer, bytes)});
        return true;
    }
    // Passes on what is due; false when the connection is to go.
    bool give(Flow& flow) {
        auto now = Clock::now();
        while (!flow.queue.empty() && flow.queue.front().due <= now) {
            std::string& bytes = flow.queue.front().bytes;
            ssize_t put = ::send(flow.to, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (put < 0) return errno == EAGAIN || errno == EINTR;
            bytes.erase(0, static_cast<std::size_t>(put));
            if (!bytes.empty()) return true;
            flow.queue.pop_front();
        }
        if (flow.ended && flow.queue.empty()) ::shutdown(flow.to, SHUT_WR);
        return true;
    }
};

DelayProxy::DelayProxy(std::uint16_t serverPort, Link link) : state_(std::make_unique<State>()) {
    state_->link = link;
    state_->serverPort = serverPort;
    state_->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    state_->listener = loopbackSocket(0, true);
    if (state_->wake < 0 || state_->listener < 0) throw std::runtime_error("no proxy socket");
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(state_->listener, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    nonBlocking(state_->listener);
    thread_ = std::thread([this] { run(); });
}

DelayProxy::~DelayProxy() {
    {
        std::lock_guard hold(state_->lock);
        state_->stopping = true;
    }
    state_->poke();
    thread_.join();
    for (auto& c : state_->connections) {
        ::close(c.up.from);
        ::close(c.up.to);
    }
    ::close(state_->listener);
    ::close(state_->wake);
}

void DelayProxy::setLink(Link link) {
    std::lock_guard hold(state_->lock);
    state_->link = link;
}

WireCounts DelayProxy::counts() const {
    std::lock_guard hold(state_->lock);
    return state_->counts;
}

void DelayProxy::cut() {
    {
        std::lock_guard hold(state_->lock);
        state_->cutNow = true;
    }
    state_->poke();
}

void DelayProxy::stall(bool on) {
    {
        std::lock_guard hold(state_->lock);
        state_->stalled = on;
    }
    state_->poke();
}

void DelayProxy::stallAfter(std::int64_t bytesDown) {
    std::lock_guard hold(state_->lock);
    state_->stallAt = bytesDown;
}

void DelayProxy::run() {
    State& s = *state_;
    for (;;) {
        std::vector<pollfd> fds{{s.wake, POLLIN, 0}};
        auto wait = std::chrono::milliseconds(-1);
        {
            std::lock_guard hold(s.lock);
            if (s.stopping) return;
            if (!s.stalled) {
                fds.push_back({s.listener, POLLIN, 0});
                auto now = Clock::now();
                for (auto& c : s.connections)
                    for (Flow* f : {&c.up, &c.down}) {
                        if (!f->ended) fds.push_back({f->from, POLLIN, 0});
                        if (f->queue.empty()) continue;
                        auto due = f->queue.front().due;
                        if (due <= now) fds.push_back({f->to, POLLOUT, 0});
                        auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now);
                        left = std::max(left, std::chrono::milliseconds(0));
                        if (wait.count() < 0 || left < wait) wait = left;
                    }
            }
        }
        ::poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
        std::lock_guard hold(s.lock);
        std::uint64_t pokes;
        if (::read(s.wake, &pokes, sizeof pokes) < 0) pokes = 0;
        if (s.stopping) return;
        if (s.cutNow) {
            for (auto& c : s.connections) {
                ::close(c.up.from);
                ::close(c.up.to);
            }
            s.connections.clear();
            s.cutNow = false;
        }
        if (s.stalled) continue;
        for (int client; (client = ::accept4(s.listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            int server = loopbackSocket(s.serverPort, false);
            if (server < 0) {
                ::close(client);
                continue;
            }
            for (int fd : {client, server}) {
                nonBlocking(fd);
                sendAtOnce(fd);
            }
            Connection& c = s.connections.emplace_back();
            c.up.from = c.down.to = client;
            c.up.to = c.down.from = server;
            c.up.countable = true;
            ++s.counts.connections;
        }
        for (auto it = s.connections.begin(); it != s.connections.end();) {
            // Once stalled, what came in is held with the rest.
            bool keep = s.take(it->up, 0) && s.take(it->down, 1) &&
                        (s.stalled || (s.give(it->up) && s.give(it->down)));
            bool done =
                it->up.ended && it->down.ended && it->up.queue.empty() && it->down.queue.empty();
            if (keep && !done) {
                ++it;
                continue;
            }
            ::close(it->up.from);
            ::close(it->up.to);
            it = s.connections.erase(it);
        }
    }
}

}  // namespace fennick::bench
