#include "RowOrders.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pelto {

namespace {

std::vector<int> unchangedOrder(int n) {
    std::vector<int> order(std::max(0, n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

std::vector<int> orderMovingBlocks(const std::vector<bool>& flagged, int direction) {
    const int n = int(flagged.size());
    std::vector<int> order = unchangedOrder(n);
    // Upwards the rows are visited top to bottom, downwards bottom to top, so a block
    // moves as a whole: its first row steps past the neighbour, and each following row
    // then finds the neighbour right beside it again. `open` is the nearest place on the
    // side the rows move to that holds an unflagged row (-1 when there is none), the
    // place a flagged row trades with.
    int open = -1;
    for (int i = direction < 0 ? 0 : n - 1; i >= 0 && i < n; i -= direction) {
        if (!flagged[i]) {
            open = i;
        } else if (open >= 0) {
            std::swap(order[i], order[open]);
            open = i;
        }
    }
    return order;
}

std::vector<int> orderShuffled(int n, const std::function<double()>& uniform01) {
    std::vector<int> order = unchangedOrder(n);
    for (int i = 0; i < n; ++i) {
        const int r = std::clamp(int(std::floor(n * uniform01())), 0, n - 1);
        std::swap(order[i], order[r]);
    }
    return order;
}

std::vector<int> orderSortedBy(const QVector<StoredRow>& rows, int column) {
    std::vector<int> order = unchangedOrder(int(rows.size()));
    const auto sortBy = [&](auto key) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return key(a).compare(key(b), Qt::CaseInsensitive) < 0;
        });
    };
    // Titles and artists are compared where the rows keep them; lengths and paths are
    // made once for the sort.
    if (column == 0) {
        sortBy([&](int i) { return rows[i].titleView(); });
    } else if (column == 1) {
        sortBy([&](int i) { return rows[i].artistView(); });
    } else {
        QStringList keys;
        keys.reserve(rows.size());
        for (const StoredRow& r : rows)
            keys.push_back(r.cell(column));
        sortBy([&](int i) { return QStringView(keys[i]); });
    }
    return order;
}

} // namespace pelto
