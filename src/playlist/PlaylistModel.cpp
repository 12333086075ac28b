#include "PlaylistModel.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <iterator>

namespace pelto {

namespace {

const QColor kHighlightColor(30, 30, 200);
enum Column { ColTitle = 0, ColArtist = 1, ColLength = 2, ColPath = 3, ColumnCount = 4 };

// More separate blocks of removed rows than this are removed with one model reset
// instead of one removal per block: each removal moves every row below it.
constexpr int kMaxRemovalBlocks = 32;

} // namespace

void PlaylistSelectionModel::select(const QItemSelection& selection, SelectionFlags command) {
    if (command.testFlag(Clear)) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        command.setFlag(Clear, false);
    }
    QItemSelectionModel::select(selection, command);
}

PlaylistModel::PlaylistModel(QObject* parent) : QAbstractTableModel(parent), m_selection(this) {}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlaylistModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const StoredRow& r = m_rows[index.row()];
    const bool marked =
        r.highlighted() && (index.column() == ColTitle || index.column() == ColArtist);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return r.cell(index.column());
    case Qt::FontRole:
        if (marked) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::ForegroundRole:
        return marked ? QVariant(kHighlightColor) : QVariant();
    default:
        return {};
    }
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColTitle:
        return QStringLiteral("ﾀｲﾄﾙ");
    case ColArtist:
        return QStringLiteral("ｱｰﾃｨｽﾄ");
    case ColLength:
        return QStringLiteral("時間");
    case ColPath:
        return QStringLiteral("ﾌﾙﾊﾟｽ");
    }
    return {};
}

int PlaylistModel::count() const {
    return int(m_rows.size());
}

PlaylistRow PlaylistModel::row(int n) const {
    Q_ASSERT(n >= 1 && n <= m_rows.size());
    return m_rows[n - 1].cells();
}

QString PlaylistModel::path(int n) const {
    Q_ASSERT(n >= 1 && n <= m_rows.size());
    return m_rows[n - 1].path();
}

QStringList PlaylistModel::paths() const {
    QStringList list;
    list.reserve(m_rows.size());
    for (const StoredRow& r : m_rows)
        list.push_back(r.path());
    return list;
}

const StoredRow* PlaylistModel::lastStoredRow() const {
    return m_rows.isEmpty() ? nullptr : &m_rows.back();
}

void PlaylistModel::appendRow(const PlaylistRow& row) {
    appendRows({row});
}

void PlaylistModel::appendRows(const QVector<PlaylistRow>& rows) {
    QVector<StoredRow> stored;
    stored.reserve(rows.size());
    const StoredRow* previous = lastStoredRow();
    for (const PlaylistRow& r : rows)
        previous = &stored.emplace_back(r, previous);
    appendRows(std::move(stored));
}

void PlaylistModel::appendRows(QVector<StoredRow>&& rows) {
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    if (m_rows.isEmpty()) {
        m_rows = std::move(rows);
    } else {
        // Grow geometrically: reserving the exact size here would copy the whole list
        // on every single append.
        if (m_rows.capacity() < m_rows.size() + rows.size())
            m_rows.reserve(std::max(m_rows.size() + rows.size(), 2 * m_rows.size()));
        std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    }
    endInsertRows();
    emit rowsChanged();
}

void PlaylistModel::clear() {
    if (m_rows.isEmpty())
        return;
    // The reset also clears the selection and the focus.
    beginResetModel();
    m_rows.clear();
    endResetModel();
    emit rowsChanged();
}

void PlaylistModel::setPlayListTrNum(int n) {
    const int before = m_trNum;
    m_trNum = n;
    announceTrNum(before);
}

void PlaylistModel::announceTrNum(int before) {
    if (m_trNum != before)
        emit playListTrNumChanged(m_trNum);
}

void PlaylistModel::SetPlayListColor() {
    const int before = m_trNum;
    markTrNum();
    announceTrNum(before);
}

void PlaylistModel::markTrNum() {
    if (m_trNum <= 0)
        m_trNum = 1;
    else if (m_trNum > count())
        m_trNum = count();
    if (m_trNum < 1 || m_trNum > count())
        return;
    m_rows[m_trNum - 1].setHighlighted(true);
    emit dataChanged(index(m_trNum - 1, ColTitle), index(m_trNum - 1, ColArtist));
}

void PlaylistModel::CancelPlayListColor() {
    if (m_trNum < 1 || m_trNum > count())
        return;
    m_rows[m_trNum - 1].setHighlighted(false);
    emit dataChanged(index(m_trNum - 1, ColTitle), index(m_trNum - 1, ColArtist));
}

bool PlaylistModel::isHighlighted(int n) const {
    return n >= 1 && n <= count() && m_rows[n - 1].highlighted();
}

bool PlaylistModel::isSelected(int n) const {
    return n >= 1 && n <= count() && m_selection.isRowSelected(n - 1);
}

void PlaylistModel::setSelected(int n, bool on) {
    if (n < 1 || n > count() || isSelected(n) == on)
        return;
    using Flag = QItemSelectionModel::SelectionFlag;
    m_selection.select(index(n - 1, 0), (on ? Flag::Select : Flag::Deselect) | Flag::Rows);
}

std::vector<bool> PlaylistModel::selectionFlags() const {
    std::vector<bool> flags(m_rows.size());
    for (const QItemSelectionRange& range : m_selection.selection()) {
        const int bottom = std::min(range.bottom(), count() - 1);
        const bool wholeRows = range.left() == 0 && range.right() == ColumnCount - 1;
        // Cells selected one by one (a view selecting items, not rows) make a row
        // selected only when they cover it, as isSelected() says.
        for (int r = range.top(); r <= bottom; ++r)
            if (!flags[r])
                flags[r] = wholeRows || m_selection.isRowSelected(r);
    }
    return flags;
}

void PlaylistModel::setSelectionFlags(const std::vector<bool>& flags) {
    Q_ASSERT(int(flags.size()) == count());
    if (flags != selectionFlags())
        selectRuns(flags);
}

void PlaylistModel::selectRuns(const std::vector<bool>& flags) {
    QItemSelection runs;
    const int n = std::min(int(flags.size()), count());
    for (int first = 0; first < n; ++first) {
        if (!flags[first])
            continue;
        int last = first;
        while (last + 1 < n && flags[last + 1])
            ++last;
        runs.select(index(first, 0), index(last, ColumnCount - 1));
        first = last;
    }
    m_selection.select(runs, QItemSelectionModel::ClearAndSelect);
}

void PlaylistModel::selectOnly(int n) {
    QItemSelection selection;
    if (n >= 1 && n <= count())
        selection.select(index(n - 1, 0), index(n - 1, ColumnCount - 1));
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
}

int PlaylistModel::focusedRow() const {
    const QModelIndex current = m_selection.currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void PlaylistModel::setFocusedRow(int n) {
    // The focus keeps the column a view gave it.
    const int column = std::max(0, m_selection.currentIndex().column());
    m_selection.setCurrentIndex(n >= 1 && n <= count() ? index(n - 1, column) : QModelIndex(),
                                QItemSelectionModel::NoUpdate);
}

int PlaylistModel::findFirstRowWithPath(const QString& path) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].pathEquals(path))
            return i + 1;
    return 0;
}

int PlaylistModel::FindPlayingRow() const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].highlighted())
            return i + 1;
    return 1;
}

void PlaylistModel::removeFlaggedRows(const std::vector<bool>& flags) {
    const int n = count();
    Q_ASSERT(int(flags.size()) == n);
    const std::vector<bool> selected = selectionFlags();
    const int trBefore = m_trNum;
    int tr = trBefore;
    const int focused = focusedRow();
    int removed = 0;
    int keptBeforeFocus = 0;
    std::vector<bool> keptSelection;     // the selection of the rows left, in their new places
    QVector<std::pair<int, int>> blocks; // 0-based [first, last] of removed rows
    for (int k = 1; k <= n; ++k) {
        if (!flags[k - 1]) {
            if (k < focused)
                ++keptBeforeFocus;
            keptSelection.push_back(selected[k - 1]);
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

    // The selection is taken off before the rows go and put back afterwards: this
    // spares the selection model from following each removal.
    m_selection.clearSelection();
    if (blocks.size() > kMaxRemovalBlocks) {
        beginResetModel();
        int kept = 0;
        for (int k = 0; k < n; ++k) {
            if (flags[k])
                continue;
            if (kept != k)
                m_rows[kept] = std::move(m_rows[k]);
            ++kept;
        }
        m_rows.resize(kept);
        endResetModel();
    } else {
        for (auto b = blocks.crbegin(); b != blocks.crend(); ++b) {
            beginRemoveRows({}, b->first, b->second);
            m_rows.remove(b->first, b->second - b->first + 1);
            endRemoveRows();
        }
    }
    m_trNum = tr;

    // The focus stays on its row; when that row went, it passes to the row that took
    // its place (the last row when it was at the end), where Qt would have moved it to
    // the row above. Both are the row after the rows kept above it.
    const int left = count();
    int newFocus = 0;
    if (focused >= 1 && left > 0)
        newFocus = std::min(keptBeforeFocus + 1, left);
    setFocusedRow(newFocus);
    if (newFocus >= 1)
        keptSelection[newFocus - 1] = true;
    selectRuns(keptSelection);
    announceTrNum(trBefore);
    emit rowsChanged();
}

void PlaylistModel::reorder(const std::vector<int>& order, Reorder how,
                            const std::optional<std::vector<bool>>& selection) {
    const int n = count();
    Q_ASSERT(int(order.size()) == n);
    if (n == 0)
        return;
    const int trBefore = m_trNum;
    std::vector<bool> carried;
    if (!selection) {
        const std::vector<bool> before = selectionFlags();
        carried.resize(n);
        for (int k = 0; k < n; ++k)
            carried[k] = before[order[k]];
    }
    if (how == Reorder::Rows)
        moveWholeRows(order);
    else
        moveCells(order);
    // A given selection is laid down afresh; a carried one only where it changed.
    if (selection)
        selectRuns(*selection);
    else
        setSelectionFlags(carried);
    announceTrNum(trBefore);
    for (int k = 0; k < n; ++k) {
        if (order[k] != k) {
            emit rowsChanged();
            break;
        }
    }
}

void PlaylistModel::moveWholeRows(const std::vector<int>& order) {
    // The selection is taken off while the rows move (and put back by the caller). The
    // focus, a persistent index, moves with its row below.
    m_selection.clearSelection();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const int n = count();
    std::vector<int> newRowOf(n);
    QVector<StoredRow> moved;
    moved.reserve(n);
    for (int to = 0; to < n; ++to) {
        newRowOf[order[to]] = to;
        moved.push_back(std::move(m_rows[order[to]]));
    }
    m_rows = std::move(moved);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[i.row()], i.column()));
    changePersistentIndexList(before, after);
    m_trNum = FindPlayingRow();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PlaylistModel::moveCells(const std::vector<int>& order) {
    const int n = count();
    // The highlights of the places, which stay; the current song's goes along with it.
    std::vector<bool> lit(n);
    for (int k = 0; k < n; ++k)
        lit[k] = m_rows[k].highlighted();
    int tr = m_trNum;
    int first = n, last = -1; // 0-based span of the places whose cells change
    for (int k = 0; k < n; ++k) {
        if (order[k] == k)
            continue;
        first = std::min(first, k);
        last = k;
        if (order[k] == m_trNum - 1) {
            lit[order[k]] = false;
            tr = k + 1;
        }
    }
    QVector<StoredRow> moved;
    moved.reserve(n);
    for (int k = 0; k < n; ++k) {
        moved.push_back(std::move(m_rows[order[k]]));
        moved.back().setHighlighted(lit[k]);
    }
    m_rows = std::move(moved);
    m_trNum = tr;
    markTrNum();
    if (last >= 0)
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void PlaylistModel::requestScrollTo(int n) {
    if (n >= 1 && n <= count())
        emit scrollToRowRequested(n);
}

} // namespace pelto
