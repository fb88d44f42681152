#include "pattern_set.h"

#include <deque>

namespace fennick::core {

PatternSet::PatternSet(const std::vector<std::string>& patterns) : nodes_(1) {
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (patterns[i].empty()) continue;
        std::int32_t node = 0;
        for (char ch : patterns[i]) {
            auto c = static_cast<unsigned char>(ch);
            std::int32_t next = child(node, c);
            if (next < 0) {
                next = static_cast<std::int32_t>(nodes_.size());
                nodes_[static_cast<std::size_t>(node)].next.emplace_back(c, next);
                nodes_.emplace_back();
            }
            node = next;
        }
        nodes_[static_cast<std::size_t>(node)].patterns.push_back(static_cast<std::int32_t>(i));
    }
    linkFailures();
    tabulateMoves();
}

std::int32_t PatternSet::child(std::int32_t node, unsigned char c) const {
    for (const auto& [label, target] : nodes_[static_cast<std::size_t>(node)].next)
        if (label == c) return target;
    return -1;
}

std::int32_t PatternSet::step(std::int32_t node, unsigned char c) const {
    while (true) {
        std::int32_t next = child(node, c);
        if (next >= 0) return next;
        if (node == 0) return 0;
        node = nodes_[static_cast<std::size_t>(node)].fail;
    }
}

// Breadth first, so that every node's failure target is finished before the node itself.
void PatternSet::linkFailures() {
    std::deque<std::int32_t> queue;
    for (const auto& edge : nodes_[0].next)
        queue.push_back(edge.second);
    while (!queue.empty()) {
        std::int32_t node = queue.front();
        queue.pop_front();
        for (const auto& [c, target] : nodes_[static_cast<std::size_t>(node)].next) {
            std::int32_t fail =
                node == 0 ? 0 : step(nodes_[static_cast<std::size_t>(node)].fail, c);
            if (fail == target) fail = 0;
            Node& t = nodes_[static_cast<std::size_t>(target)];
            t.fail = fail;
            const auto& inherited = nodes_[static_cast<std::size_t>(fail)].patterns;
            t.patterns.insert(t.patterns.end(), inherited.begin(), inherited.end());
            queue.push_back(target);
        }
    }
}

void PatternSet::tabulateMoves() {
    std::vector<unsigned char> held;
    for (const Node& node : nodes_)
        for (const auto& edge : node.next)
            if (classOf_[edge.first] == 0) {
                classOf_[edge.first] = static_cast<std::uint16_t>(classes_++);
                held.push_back(edge.first);
            }
    moves_.assign(nodes_.size() * classes_, 0);
    ends_.resize(nodes_.size());
    for (std::size_t node = 0; node < nodes_.size(); ++node) {
        ends_[node] = !nodes_[node].patterns.empty();
        for (unsigned char c : held)
            moves_[node * classes_ + classOf_[c]] = step(static_cast<std::int32_t>(node), c);
    }
}

void PatternSet::markIn(std::string_view text, std::vector<bool>& found) const {
    auto classOf = [&](std::size_t i) { return classOf_[static_cast<unsigned char>(text[i])]; };
    std::size_t node = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // At the root most characters start no pattern (the root's row of moves, the table's
        // first, leads back to it): they are passed over without a move.
        if (node == 0)
            while (i < text.size() && moves_[classOf(i)] == 0)
                ++i;
        if (i == text.size()) break;
        node = static_cast<std::size_t>(moves_[node * classes_ + classOf(i)]);
        if (ends_[node])
            for (std::int32_t p : nodes_[node].patterns)
                found[static_cast<std::size_t>(p)] = true;
    }
}

}  // namespace fennick::core
