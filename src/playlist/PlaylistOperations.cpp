#include "PlaylistOperations.h"

#include "PlaylistModel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <random>

namespace pelto {

namespace {

// More separate blocks of removed rows than this are removed with one model reset
// instead of one removal per block: each removal moves every row below it.
constexpr int kMaxRemovalBlocks = 32;

} // namespace

void PlaylistOperations::deleteSelected(PlaylistModel& model) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    int tr = model.m_trNum;
    const int focused = model.m_focused;
    int removed = 0;
    int keptBeforeFocus = 0;
    QVector<std::pair<int, int>> blocks; // 0-based [first, last] of removed rows
    for (int k = 1; k <= n; ++k) {
        if (!rows[k - 1].selected) {
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

    if (blocks.size() > kMaxRemovalBlocks) {
        model.beginResetModel();
        rows.removeIf([](const PlaylistModel::Entry& e) { return e.selected; });
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
    // its place (the last row when it was at the end). Both are the row after the
    // rows kept above it.
    const int left = int(rows.size());
    int newFocus = 0;
    if (focused >= 1 && focused <= n && left > 0)
        newFocus = std::min(keptBeforeFocus + 1, left);
    model.m_focused = newFocus;
    if (newFocus > 0)
        rows[newFocus - 1].selected = true;
    emit model.rowFlagsChanged();
}

void PlaylistOperations::moveRows(PlaylistModel& model, int direction) {
    auto& rows = model.m_rows;
    const int n = int(rows.size());
    if (n == 0)
        return;
    int lowest = n, highest = -1; // 0-based range of rows whose cells changed
    // Upwards the rows are visited top to bottom, downwards bottom to top, so a
    // block moves as a whole: its first row steps past the neighbour, and each
    // following row then finds the neighbour right beside it again.
    const int first = direction < 0 ? 2 : n - 1;
    const int last = direction < 0 ? n : 1;
    for (int i = first; direction < 0 ? i <= last : i >= last; i -= direction) {
        if (!rows[i - 1].selected)
            continue;
        int j = i + direction;
        while (j >= 1 && j <= n && rows[j - 1].selected)
            j += direction;
        if (j < 1 || j > n)
            continue;
        const int tr = model.m_trNum;
        if (tr == i || tr == j)
            model.CancelPlayListColor();
        // Only the cells trade places; the highlight flags stay where they are.
        std::swap(rows[i - 1].cells, rows[j - 1].cells);
        rows[j - 1].selected = true;
        rows[i - 1].selected = false;
        if (tr == i)
            model.m_trNum = j;
        else if (tr == j)
            model.m_trNum = i;
        lowest = std::min({lowest, i - 1, j - 1});
        highest = std::max({highest, i - 1, j - 1});
    }
    model.SetPlayListColor();
    if (highest >= 0)
        emit model.dataChanged(model.index(lowest, 0), model.index(highest, 3));
    emit model.rowFlagsChanged();
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
    model.CancelPlayListColor();
    for (int i = 1; i <= n; ++i) {
        const double u = uniform01();
        const int r = std::clamp(int(std::floor(n * u)) + 1, 1, n);
        if (model.m_trNum == i)
            model.m_trNum = r;
        else if (model.m_trNum == r)
            model.m_trNum = i;
        rows[i - 1].selected = false;
        if (r != i)
            std::swap(rows[i - 1].cells, rows[r - 1].cells);
    }
    rows[0].selected = true;
    model.SetPlayListColor();
    emit model.dataChanged(model.index(0, 0), model.index(n - 1, 3));
    emit model.rowFlagsChanged();
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
    const auto cell = [column](const PlaylistRow& r) -> const QString& {
        switch (column) {
        case 0:
            return r.title;
        case 1:
            return r.artist;
        case 2:
            return r.length;
        default:
            return r.path;
        }
    };
    QVector<int> order(n); // order[new] = old
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return QString::compare(cell(rows[a].cells), cell(rows[b].cells), Qt::CaseInsensitive) < 0;
    });

    emit model.layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> newRowOf(n);
    QVector<PlaylistModel::Entry> sorted;
    sorted.reserve(n);
    for (int to = 0; to < n; ++to) {
        newRowOf[order[to]] = to;
        sorted.push_back(std::move(rows[order[to]]));
    }
    rows = std::move(sorted);
    const QModelIndexList before = model.persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(model.index(newRowOf[index.row()], index.column()));
    model.changePersistentIndexList(before, after);
    if (model.m_focused >= 1)
        model.m_focused = newRowOf[model.m_focused - 1] + 1;
    model.m_trNum = model.FindPlayingRow();
    emit model.layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit model.rowFlagsChanged();
}

} // namespace pelto
