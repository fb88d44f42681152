#pragma once
// A TCP proxy on the loopback address that stands for a slow link in front of a server: every
// piece of bytes is held a chosen time each way before it is passed on, and each direction can
// be capped to a bandwidth that all connections share, as they share one VPN. It counts the
// SMB requests that cross it (each NetBIOS session message from the client is one) and the
// bytes each way. Faults on cue: cut() breaks every connection, stall(true) holds every byte
// (and new connections) until stall(false), and stallAfter(n) stalls so once n bytes in all
// have come down from the server, in the middle of whatever answer they end in.
//
// One thread runs the proxy; every call is safe from any other thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace fennick::bench {

struct Link {
    std::chrono::microseconds oneWay{0};  // held each way: half the round trip
    double bitsPerSecond = 0;             // each direction's cap; 0: none
};

struct WireCounts {
    std::int64_t connections = 0;
    std::int64_t requests = 0;  // messages from the client
    std::int64_t bytesUp = 0;   // client to server
    std::int64_t bytesDown = 0;
};

class DelayProxy {
  public:
    DelayProxy(std::uint16_t serverPort, Link link);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    std::uint16_t port() const { return port_; }
    void setLink(Link link);
    WireCounts counts() const;

    void cut();
    void stall(bool on);
    // `bytesDown` counts as counts().bytesDown does, from the proxy's start.
    void stallAfter(std::int64_t bytesDown);

    struct State;

  private:
    void run();

    std::uint16_t port_ = 0;
    std::unique_ptr<State> state_;
    std::thread thread_;
};

}  // namespace fennick::bench
