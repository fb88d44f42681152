#include "smb_wire.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

namespace fennick::platform::smb_wire {

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the socket has bytes to read or the deadline passed.
bool readable(int socket, std::optional<Clock::time_point> deadline) {
    for (;;) {
        int wait = -1;
        if (deadline) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(left.count());
        }
        pollfd p{socket, POLLIN, 0};
        int ready = ::poll(&p, 1, wait);
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool receiveExactly(int socket, char* into, std::size_t n,
                    std::optional<Clock::time_point> deadline) {
    std::size_t done = 0;
    while (done < n) {
        if (!readable(socket, deadline)) return false;
        ssize_t got = ::recv(socket, into + done, n - done, 0);
        if (got == 0) return false;
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

Writer::~Writer() {
    if (!secret_) return;
    volatile char* p = bytes_.data();
    for (std::size_t i = 0; i < bytes_.size(); ++i)
        p[i] = 0;
}

Writer& Writer::put8(std::uint8_t value) {
    bytes_.push_back(static_cast<char>(value));
    return *this;
}

Writer& Writer::put32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        put8(static_cast<std::uint8_t>(value >> (8 * i)));
    return *this;
}

Writer& Writer::put64(std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        put8(static_cast<std::uint8_t>(value >> (8 * i)));
    return *this;
}

Writer& Writer::putText(std::string_view text) {
    put32(static_cast<std::uint32_t>(text.size()));
    bytes_.append(text);
    return *this;
}

std::string_view Reader::take(std::size_t n) {
    if (!ok_ || rest_.size() < n) {
        ok_ = false;
        return {};
    }
    std::string_view taken = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return taken;
}

std::uint8_t Reader::get8() {
    std::string_view b = take(1);
    return b.empty() ? 0 : static_cast<std::uint8_t>(b[0]);
}

std::uint32_t Reader::get32() {
    std::string_view b = take(4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < b.size(); ++i)
        value |= std::uint32_t(static_cast<unsigned char>(b[i])) << (8 * i);
    return value;
}

std::uint64_t Reader::get64() {
    std::string_view b = take(8);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < b.size(); ++i)
        value |= std::uint64_t(static_cast<unsigned char>(b[i])) << (8 * i);
    return value;
}

std::string_view Reader::getText() {
    return take(get32());
}

std::string encodeAnswer(const Answer& answer) {
    Writer out;
    out.put32(static_cast<std::uint32_t>(answer.error))
        .put8(static_cast<std::uint8_t>(answer.kind))
        .put64(static_cast<std::uint64_t>(answer.size))
        .putText(answer.bytes);
    return std::string(out.bytes());
}

bool decodeAnswer(std::string_view bytes, Answer& answer) {
    Reader in(bytes);
    answer.error = static_cast<int>(in.get32());
    std::uint8_t kind = in.get8();
    answer.kind =
        kind <= static_cast<std::uint8_t>(Kind::Other) ? static_cast<Kind>(kind) : Kind::Other;
    answer.size = static_cast<std::int64_t>(in.get64());
    answer.bytes = in.getText();
    return in.ok() && answer.bytes.size() <= kLargestRead;
}

bool send(int socket, std::string_view message) {
    char length[4];
    for (int i = 0; i < 4; ++i)
        length[i] = static_cast<char>(message.size() >> (8 * i));
    for (std::string_view part : {std::string_view(length, 4), message}) {
        while (!part.empty()) {
            ssize_t put = ::send(socket, part.data(), part.size(), MSG_NOSIGNAL);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            part.remove_prefix(static_cast<std::size_t>(put));
        }
    }
    return true;
}

bool receive(int socket, std::string& message, int timeoutMs) {
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0) deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned char length[4];
    if (!receiveExactly(socket, reinterpret_cast<char*>(length), 4, deadline)) return false;
    std::size_t n =
        length[0] | (length[1] << 8) | (length[2] << 16) | (std::size_t(length[3]) << 24);
    if (n > kLargestMessage) return false;
    message.resize(n);
    return receiveExactly(socket, message.data(), n, deadline);
}

bool sendNumber(int socket, std::uint32_t number, int fd) {
    Writer bytes;
    bytes.put32(number);
    iovec part{const_cast<char*>(bytes.bytes().data()), bytes.bytes().size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
    }
    for (;;) {
        ssize_t put = ::sendmsg(socket, &message, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) continue;
        return put == static_cast<ssize_t>(part.iov_len);
    }
}

bool receiveNumber(int socket, std::uint32_t& number, int& fd, int timeoutMs) {
    fd = -1;
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0) deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!readable(socket, deadline)) return false;
    char bytes[4];
    iovec part{bytes, sizeof bytes};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t got;
    do {
        got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    for (cmsghdr* h = CMSG_FIRSTHDR(&message); h; h = CMSG_NXTHDR(&message, h))
        if (h->cmsg_level == SOL_SOCKET && h->cmsg_type == SCM_RIGHTS &&
            h->cmsg_len == CMSG_LEN(sizeof(int)))
            std::memcpy(&fd, CMSG_DATA(h), sizeof(int));
    const auto done = static_cast<std::size_t>(got);
    if (done < sizeof bytes &&
        !receiveExactly(socket, bytes + done, sizeof bytes - done, deadline)) {
        if (fd >= 0) ::close(fd);
        fd = -1;
        return false;
    }
    number = Reader(std::string_view(bytes, sizeof bytes)).get32();
    return true;
}

std::string_view shareRoot(std::string_view url) {
    constexpr std::string_view scheme = "smb://";
    if (!url.starts_with(scheme)) return url;
    std::size_t server = url.find('/', scheme.size());
    if (server == std::string_view::npos) return url;
    return url.substr(0, url.find('/', server + 1));
}

}  // namespace fennick::platform::smb_wire
