#include "PlaylistOperations.h"

#include "PlaylistModel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace pelto {

namespace {

// More separate blocks of removed rows than this are removed with one model reset
// instead of one removal per block: each removal moves every row below it.
constexpr int kMaxRemovalBlocks = 32;

} // namespace

void PlaylistOperations::deleteSelected(PlaylistModel& model) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    const std::vector<bool> selected = model.selectionFlags();
    const int trBefore = model.m_trNum;
    int tr = trBefore;
    const int focused = model.focusedRow();
    int removed = 0;
    int keptBeforeFocus = 0;
    QVector<std::pair<int, int>> blocks; // 0-based [first, last] of removed rows
    for (int k = 1; k <= n; ++k) {
        if (!selected[k - 1]) {
            if (k < focused)
                ++keptBeforeFocus;
            continue;
        }
        // The row is at k - removed once the rows above it are gone.
        if (k - removed < tr)
            --tr;
        ++removed;
        if (!blocks.isEmpty() && blocks.back().second == k - 2)
            blocks.back().second = k - 1;
        else
            blocks.push_back({k - 1, k - 1});
    }
    if (removed == 0)
        return;

    // Every selected row goes, so the selection empties before the rows do; this also
    // spares the selection model from following each removal.
    model.m_selection.clearSelection();
    if (blocks.size() > kMaxRemovalBlocks) {
        model.beginResetModel();
        int kept = 0;
        for (int k = 0; k < n; ++k) {
            if (selected[k])
                continue;
            if (kept != k)
                rows[kept] = std::move(rows[k]);
            ++kept;
        }
        rows.resize(kept);
        model.endResetModel();
    } else {
        for (auto b = blocks.crbegin(); b != blocks.crend(); ++b) {
            model.beginRemoveRows({}, b->first, b->second);
            rows.remove(b->first, b->second - b->first + 1);
            model.endRemoveRows();
        }
    }
    model.m_trNum = tr;

    // The focus stays on its row; when that row went, it passes to the row that took
    // its place (the last row when it was at the end), where Qt would have moved it to
    // the row above. Both are the row after the rows kept above it. That row is
    // selected.
    const int left = int(rows.size());
    int newFocus = 0;
    if (focused >= 1 && left > 0)
        newFocus = std::min(keptBeforeFocus + 1, left);
    model.setFocusedRow(newFocus);
    model.selectOnly(newFocus);
    model.announceTrNum(trBefore);
    emit model.rowsChanged();
}

void PlaylistOperations::moveRows(PlaylistModel& model, int direction) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    if (n == 0)
        return;
    std::vector<bool> selected = model.selectionFlags();
    const int trBefore = model.m_trNum;
    int tr = trBefore;
    int lowest = n, highest = -1; // 0-based range of rows whose cells changed
    // Upwards the rows are visited top to bottom, downwards bottom to top, so a block
    // moves as a whole: its first row steps past the neighbour, and each following
    // row then finds the neighbour right beside it again. `open` is the nearest
    // unselected row on the side the rows move to (0 when there is none), the row a
    // selected row trades places with.
    int open = 0;
    for (int i = direction < 0 ? 1 : n; i >= 1 && i <= n; i -= direction) {
        if (!selected[i - 1]) {
            open = i;
            continue;
        }
        if (open == 0)
            continue; // a block at the edge stays
        const int j = open;
        if (tr == i || tr == j)
            rows[tr - 1].setHighlighted(false);
        // Only the cells trade places; the highlight flags stay where they are.
        rows[i - 1].swapCells(rows[j - 1]);
        selected[j - 1] = true;
        selected[i - 1] = false;
        if (tr == i)
            tr = j;
        else if (tr == j)
            tr = i;
        open = i;
        lowest = std::min({lowest, i - 1, j - 1});
        highest = std::max({highest, i - 1, j - 1});
    }
    model.m_trNum = tr;
    model.markTrNum();
    if (highest >= 0)
        emit model.dataChanged(model.index(lowest, 0), model.index(highest, 3));
    model.setSelectionFlags(selected);
    model.announceTrNum(trBefore);
    if (highest >= 0)
        emit model.rowsChanged();
}

void PlaylistOperations::moveUp(PlaylistModel& model) {
    moveRows(model, -1);
}

void PlaylistOperations::moveDown(PlaylistModel& model) {
    moveRows(model, +1);
}

void PlaylistOperations::shuffle(PlaylistModel& model, std::function<double()> uniform01) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    if (n < 2)
        return;
    const int trBefore = model.m_trNum;
    int tr = trBefore;
    model.CancelPlayListColor();
    bool moved = false;
    for (int i = 1; i <= n; ++i) {
        const double u = uniform01();
        const int r = std::clamp(int(std::floor(n * u)) + 1, 1, n);
        if (tr == i)
            tr = r;
        else if (tr == r)
            tr = i;
        if (r != i) {
            rows[i - 1].swapCells(rows[r - 1]);
            moved = true;
        }
    }
    model.m_trNum = tr;
    model.markTrNum();
    emit model.dataChanged(model.index(0, 0), model.index(n - 1, 3));
    model.selectOnly(1);
    model.announceTrNum(trBefore);
    if (moved)
        emit model.rowsChanged();
}

std::function<double()> PlaylistOperations::clockSeededUniform() {
    const auto seed = std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::generate_canonical<double, 53>(*engine); };
}

void PlaylistOperations::sortByColumn(PlaylistModel& model, int column) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    if (n == 0 || column < 0 || column > 3)
        return;
    QVector<int> order(n); // order[new] = old
    std::iota(order.begin(), order.end(), 0);
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
        keys.reserve(n);
        for (const StoredRow& r : rows)
            keys.push_back(r.cell(column));
        sortBy([&](int i) { return QStringView(keys[i]); });
    }
    const std::vector<bool> selected = model.selectionFlags();
    const int trBefore = model.m_trNum;

    // The selection is taken off while the rows move and put back on their new places
    // afterwards. The focus (a persistent index) moves with its row below.
    model.m_selection.clearSelection();
    emit model.layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> newRowOf(n);
    QVector<StoredRow> sorted;
    sorted.reserve(n);
    std::vector<bool> sortedSelection(n);
    for (int to = 0; to < n; ++to) {
        newRowOf[order[to]] = to;
        sorted.push_back(std::move(rows[order[to]]));
        sortedSelection[to] = selected[order[to]];
    }
    rows = std::move(sorted);
    const QModelIndexList before = model.persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(model.index(newRowOf[index.row()], index.column()));
    model.changePersistentIndexList(before, after);
    model.m_trNum = model.FindPlayingRow();
    emit model.layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    model.setSelectionFlags(sortedSelection);
    model.announceTrNum(trBefore);
    if (!std::is_sorted(order.begin(), order.end()))
        emit model.rowsChanged();
}

} // namespace pelto
