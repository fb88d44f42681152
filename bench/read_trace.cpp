#include "read_trace.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

namespace fennick::bench {

void ReadTrace::add(TracedCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

std::vector<TracedCall> ReadTrace::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(calls_, {});
}

double ReadTrace::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
}

namespace {

std::string lastPart(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

template <class F>
auto timed(ReadTrace& trace, TracedCall call, F&& f) {
    call.start = trace.now();
    struct Done {
        ReadTrace& trace;
        TracedCall& call;
        ~Done() {
            call.end = trace.now();
            trace.add(call);
        }
    } done{trace, call};
    return f();
}

class TracedFile : public platform::File {
  public:
    TracedFile(platform::IoCounters& c, std::unique_ptr<platform::File> inner, ReadTrace& trace,
               std::string name)
        : File(c), inner_(std::move(inner)), trace_(trace), name_(std::move(name)) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        return timed(trace_, {'r', name_, offset, static_cast<std::int64_t>(n)},
                     [&] { return inner_->readAt(offset, buf, n); });
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        inner_->writeAt(offset, buf, n);
    }

  private:
    std::unique_ptr<platform::File> inner_;
    ReadTrace& trace_;
    std::string name_;
};

class TracedShare : public platform::FileSystem {
  public:
    TracedShare(std::unique_ptr<platform::FileSystem> inner, ReadTrace& trace)
        : inner_(std::move(inner)), trace_(trace) {}
    bool isDirectory(const std::string& path) override {
        return timed(trace_, {'s', lastPart(path)}, [&] { return inner_->isDirectory(path); });
    }
    std::string lastProblem() const override { return inner_->lastProblem(); }
    bool fileExists(const std::string& path) override {
        return timed(trace_, {'s', lastPart(path)}, [&] { return inner_->fileExists(path); });
    }
    std::unique_ptr<platform::File> create(const std::string& path) override {
        return inner_->create(path);
    }
    void makeDirectory(const std::string& path) override { inner_->makeDirectory(path); }
    platform::ReadShape readShape() const override { return inner_->readShape(); }
    void willOpen(const std::vector<std::string>& paths) override { inner_->willOpen(paths); }
    // The files opened ahead show as one open each, from the start to the end of them all.
    void withOpenedAhead(const std::vector<std::string>& paths,
                         const std::function<void()>& opens) override {
        double start = trace_.now();
        inner_->withOpenedAhead(paths, [&] {
            for (const auto& path : paths)
                trace_.add({'o', lastPart(path), 0, 0, start, trace_.now()});
            opens();
        });
    }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override {
        auto file =
            timed(trace_, {'o', lastPart(path)}, [&] { return inner_->open(path, access); });
        if (!file) return nullptr;
        return std::make_unique<TracedFile>(counters_, std::move(file), trace_, lastPart(path));
    }

  private:
    std::unique_ptr<platform::FileSystem> inner_;
    ReadTrace& trace_;
};

}  // namespace

std::unique_ptr<platform::FileSystem> tracedShare(std::unique_ptr<platform::FileSystem> inner,
                                                  ReadTrace& trace) {
    return std::make_unique<TracedShare>(std::move(inner), trace);
}

std::string summary(const std::vector<TracedCall>& input, int roundsShown) {
    std::vector<TracedCall> calls = input;
    std::sort(calls.begin(), calls.end(),
              [](const TracedCall& a, const TracedCall& b) { return a.start < b.start; });
    std::map<char, int> kinds;
    std::int64_t bytes = 0;
    double busy = 0;
    std::string rounds;
    int round = 0;
    for (std::size_t i = 0; i < calls.size();) {
        // A round: calls that start before every call of the round so far has ended.
        double end = calls[i].end, start = calls[i].start;
        std::map<std::string, std::pair<int, std::int64_t>> files;
        std::size_t j = i;
        for (; j < calls.size() && calls[j].start < end; ++j) {
            end = std::max(end, calls[j].end);
            ++kinds[calls[j].kind];
            if (calls[j].kind == 'r') bytes += calls[j].length;
            auto& f = files[std::string(1, calls[j].kind) + ":" + calls[j].file];
            ++f.first;
            f.second += calls[j].length;
        }
        busy += end - start;
        if (round++ < roundsShown) {
            char head[64];
            std::snprintf(head, sizeof head, "  %3d %7.3f-%7.3f", round, start, end);
            rounds += head;
            for (const auto& [file, n] : files)
                rounds += " " + file + "x" + std::to_string(n.first) +
                          (n.second ? "(" + std::to_string(n.second) + ")" : "");
            rounds += "\n";
        }
        i = j;
    }
    char line[160];
    std::snprintf(line, sizeof line,
                  "calls %zu (checks %d, opens %d, reads %d), read bytes %lld, rounds %d, "
                  "busy %.3f s of %.3f s\n",
                  calls.size(), kinds['s'], kinds['o'], kinds['r'], static_cast<long long>(bytes),
                  round, busy, calls.empty() ? 0.0 : calls.back().end - calls.front().start);
    return line + rounds;
}

}  // namespace fennick::bench
