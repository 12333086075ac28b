#pragma once

#include <QAbstractTableModel>

namespace pelto {

class PlaylistModel;
class RowFinder;

// The rows the find window lists, as a table: the row's number in the playlist, its
// title, artist and length, read from the playlist as they are drawn. It takes the
// finder's rows whenever it has found them.
class FoundRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    FoundRowsModel(const PlaylistModel& playlist, const RowFinder& finder,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The playlist row (1-based) shown in line `line` (0-based); 0 when none is.
    int playlistRow(int line) const;
    // The line (0-based) that shows playlist row n (1-based); -1 when none does.
    int lineOf(int n) const;

private:
    const PlaylistModel& m_playlist;
    const RowFinder& m_finder;
};

} // namespace pelto
