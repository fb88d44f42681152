#pragma once
// The order a grid shows its rows in when the user sorts by one column: a stable sort by a
// comparison of two rows as given, so that equal rows keep the order they came in.

#include <functional>
#include <vector>

namespace fennick::viewer {

// Orders two rows, by their positions as given: negative, zero or positive.
using RowComparison = std::function<int(int a, int b)>;

// Positions 0 to count - 1, sorted.
std::vector<int> sortedOrder(int count, const RowComparison& compare, bool descending);

}  // namespace fennick::viewer
