#include "playlistwindow/FoundRowsModel.h"

#include "playlist/PlaylistModel.h"
#include "playlist/RowFinder.h"

#include <algorithm>

namespace pelto {

namespace {

enum Column { ColNumber, ColTitle, ColArtist, ColLength, ColumnCount };

} // namespace

FoundRowsModel::FoundRowsModel(const PlaylistModel& playlist, const RowFinder& finder,
                               QObject* parent)
    : QAbstractTableModel(parent), m_playlist(playlist), m_finder(finder) {
    // Connected before any view's reaction to the same signal, so the view reads the
    // new rows.
    connect(&finder, &RowFinder::rowsFound, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int FoundRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_finder.rows().size());
}

int FoundRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int FoundRowsModel::playlistRow(int line) const {
    const std::vector<int>& rows = m_finder.rows();
    if (line < 0 || line >= int(rows.size()) || rows[size_t(line)] >= m_playlist.count())
        return 0;
    return rows[size_t(line)] + 1;
}

int FoundRowsModel::lineOf(int n) const {
    const std::vector<int>& rows = m_finder.rows();
    const auto at = std::lower_bound(rows.begin(), rows.end(), n - 1);
    return at != rows.end() && *at == n - 1 ? int(at - rows.begin()) : -1;
}

QVariant FoundRowsModel::data(const QModelIndex& index, int role) const {
    const int n = playlistRow(index.row());
    if (!index.isValid() || n == 0)
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == ColNumber)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (index.column() == ColNumber)
        return QString::number(n);
    // Title, artist and length are the playlist's columns 0, 1 and 2.
    return m_playlist.data(m_playlist.index(n - 1, index.column() - ColTitle), role);
}

QVariant FoundRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == ColNumber)
        return QStringLiteral("番号");
    return m_playlist.headerData(section - ColTitle, orientation, role);
}

} // namespace pelto
