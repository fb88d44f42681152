#pragma once
// What the program and its SMB reader processes (fennick-smb-reader) say to each other over a
// stream socket. Every message is a 32-bit length and that many bytes; numbers are
// little-endian, texts a 32-bit length and their bytes. The program asks, the reader answers,
// one request at a time:
//
//   LogOn  port, time-out, Kerberos, ticket cache, user, domain, password  (no answer)
//   Stat   url                      -> error, kind, size
//   Open   url                      -> error, size        (the reader keeps the file open)
//   Read   url, offset, length      -> error, bytes       (at most kLargestRead bytes)
//   Connect url                     -> error, size        (logs on to the url's share; size:
//                                                          the microseconds it waited on the
//                                                          link meanwhile)
//
// An error is an errno value, 0 for none. A reader whose connection broke answers with the error
// and ends, so that its replacement starts on a fresh connection.

#include <cstdint>
#include <string>
#include <string_view>

namespace fennick::platform::smb_wire {

enum class Request : std::uint8_t { LogOn = 1, Stat = 2, Open = 3, Read = 4, Connect = 5 };
enum class Kind : std::uint8_t { Missing = 0, File = 1, Directory = 2, Other = 3 };

constexpr std::size_t kLargestRead = 1 << 20;
constexpr std::size_t kLargestMessage = kLargestRead + 64;
// The reader's end of its socket.
constexpr int kReaderSocket = 3;

struct Answer {
    int error = 0;
    Kind kind = Kind::Missing;
    std::int64_t size = 0;
    std::string bytes;
};

// A message being put together.
class Writer {
  public:
    explicit Writer(Request request) { put8(static_cast<std::uint8_t>(request)); }
    Writer() = default;
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    Writer& put8(std::uint8_t value);
    Writer& put32(std::uint32_t value);
    Writer& put64(std::uint64_t value);
    Writer& putText(std::string_view text);
    // The bytes are wiped when the message goes (a log-on carries a password).
    Writer& secret() {
        secret_ = true;
        return *this;
    }
    std::string_view bytes() const { return bytes_; }

  private:
    std::string bytes_;
    bool secret_ = false;
};

// A message taken apart; every get fails (and the reader goes bad) past its end.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool ok() const { return ok_; }
    std::uint8_t get8();
    std::uint32_t get32();
    std::uint64_t get64();
    std::string_view getText();

  private:
    std::string_view take(std::size_t n);
    std::string_view rest_;
    bool ok_ = true;
};

std::string encodeAnswer(const Answer& answer);
// False when the bytes are no answer.
bool decodeAnswer(std::string_view bytes, Answer& answer);

// Sends one message; false when the other end is gone.
bool send(int socket, std::string_view message);
// Receives one message. False at the end of the stream, on a message over kLargestMessage, and
// when nothing complete arrived within `timeoutMs` (negative: no limit).
bool receive(int socket, std::string& message, int timeoutMs = -1);

// The reader program can also serve as the readers' spawner: loaded once, it forks each reader
// (a process with one thread may), so a reader starts without loading the client library anew.
// The program sends it a number with the new reader's end of its socket pair beside it; the
// spawner answers the reader's process id (0: none started) with a pidfd of it beside it.
// A 32-bit number with a descriptor beside it (-1: none); false when the other end is gone.
bool sendNumber(int socket, std::uint32_t number, int fd);
// Receives a number sent so; `fd` is -1 when none came with it. False at the end of the stream
// and when nothing came within `timeoutMs` (negative: no limit).
bool receiveNumber(int socket, std::uint32_t& number, int& fd, int timeoutMs = -1);

// The share's root ("smb://server/share") of a url on it; the url itself when it names no share.
std::string_view shareRoot(std::string_view url);

}  // namespace fennick::platform::smb_wire
