#pragma once
// Finds which of many short patterns occur in a text, in one pass over the text (a trie of the
// patterns with failure links, turned into a table of moves: one lookup a character). The unit
// list asks this of every detail-line text of the sales in progress for all unit numbers of a
// model at once.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fennick::core {

class PatternSet {
  public:
    // Empty patterns are never reported; the caller decides what an empty pattern means.
    explicit PatternSet(const std::vector<std::string>& patterns);
    // Sets found[i] for every pattern i that occurs in `text`; `found` has one slot per pattern.
    void markIn(std::string_view text, std::vector<bool>& found) const;

  private:
    struct Node {
        std::vector<std::pair<unsigned char, std::int32_t>> next;
        std::int32_t fail = 0;
        std::vector<std::int32_t> patterns;  // patterns ending here, directly or by a suffix
    };
    std::int32_t child(std::int32_t node, unsigned char c) const;
    std::int32_t step(std::int32_t node, unsigned char c) const;
    void linkFailures();
    void tabulateMoves();

    std::vector<Node> nodes_;
    // Characters no pattern holds share class 0, which always leads back to the root.
    std::uint16_t classOf_[256] = {};
    std::size_t classes_ = 1;
    std::vector<std::int32_t> moves_;  // node * classes_ + class: the node reached
    std::vector<bool> ends_;           // of each node: some pattern ends there
};

}  // namespace fennick::core
