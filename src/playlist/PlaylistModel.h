#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVector>

namespace pelto {

// One playlist row: four text cells. The path is the row's identity; title, artist
// and length are display text computed once when the row is added.
struct PlaylistRow {
    QString title;
    QString artist;
    QString length; // "mm:ss"
    QString path;
};

// The playlist: the only copy of the rows, shown by the playlist window's list view.
// Besides the four cells each row has a selection flag and may carry the current-row
// highlight (bold, RGB(30, 30, 200), on the title and artist cells). The model also
// holds PlayListTrNum, the 1-based current row (0 = none), which every row operation
// keeps on its song.
//
// Rows are numbered from 1 in the methods below (as the player and the playlist
// operations count them); the Qt model interface underneath is 0-based as usual.
class PlaylistModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PlaylistModel(QObject* parent = nullptr);

    // Qt model interface (0-based): columns title, artist, length, path, with the
    // header texts "ﾀｲﾄﾙ", "ｱｰﾃｨｽﾄ", "時間", "ﾌﾙﾊﾟｽ". Bold font and the highlight
    // colour come through Qt::FontRole and Qt::ForegroundRole.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // 1-based interface.
    int count() const;
    const PlaylistRow& row(int n) const;
    QString path(int n) const { return row(n).path; }
    // The path cells of all rows, in order.
    QStringList paths() const;
    void appendRow(const PlaylistRow& row);
    void appendRows(const QVector<PlaylistRow>& rows);
    void clear();

    int PlayListTrNum() const { return m_trNum; }
    void setPlayListTrNum(int n) { m_trNum = n; }

    // Clamps PlayListTrNum into 1..count() (0 and below become 1) and highlights
    // that row. Callers call it when the list has rows; on an empty list it marks
    // nothing.
    void SetPlayListColor();
    // Removes the highlight of row PlayListTrNum if it lies within the list.
    void CancelPlayListColor();
    bool isHighlighted(int n) const;

    bool isSelected(int n) const;
    void setSelected(int n, bool on);
    // The focused row (the list view's current item), 0 when none.
    int focusedRow() const { return m_focused; }
    void setFocusedRow(int n);

    // The first row (in list order) whose path equals the given one; 0 when none.
    int findFirstRowWithPath(const QString& path) const;
    // The first highlighted row; 1 when none is (also for an empty list).
    int FindPlayingRow() const;

    // Asks the views to scroll row n into view.
    void requestScrollTo(int n);

signals:
    void scrollToRowRequested(int n);
    // The selection flags or the focused row changed through an operation on the
    // model (not through setSelected / setFocusedRow); views re-read them.
    void rowFlagsChanged();

private:
    struct Entry {
        PlaylistRow cells;
        bool selected = false;
        bool highlighted = false;
    };
    friend class PlaylistOperations;
    QVector<Entry> m_rows;
    int m_trNum = 1;
    int m_focused = 0;
};

} // namespace pelto
