#include "PlaylistModel.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <iterator>

namespace pelto {

namespace {
const QColor kHighlightColor(30, 30, 200);
enum Column { ColTitle = 0, ColArtist = 1, ColLength = 2, ColPath = 3, ColumnCount = 4 };
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
    if (flags == selectionFlags())
        return;
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

void PlaylistModel::requestScrollTo(int n) {
    if (n >= 1 && n <= count())
        emit scrollToRowRequested(n);
}

} // namespace pelto
