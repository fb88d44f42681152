#include "grid_order.h"

#include <algorithm>
#include <numeric>

namespace fennick::viewer {

std::vector<int> sortedOrder(int count, const RowComparison& compare, bool descending) {
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = compare(a, b);
        return descending ? compared > 0 : compared < 0;
    });
    return order;
}

}  // namespace fennick::viewer
