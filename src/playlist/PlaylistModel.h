#pragma once

#include "PlaylistRow.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <vector>

namespace pelto {

// The playlist's selection model. A command that clears and selects (a plain click,
// Ctrl+A, the row operations) runs as a clear and then a select: Qt works out what
// changed by comparing the old and the new ranges pair by pair, which is quadratic when
// both are long (a scattered selection of thousands of rows), and cheap when one side
// is empty.
class PlaylistSelectionModel : public QItemSelectionModel {
    Q_OBJECT
public:
    using QItemSelectionModel::QItemSelectionModel;
    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, SelectionFlags command) override;
};

// The playlist: the only copy of the rows, shown by the playlist window's list view.
// Besides the four cells a row may carry the current-row highlight (bold,
// RGB(30, 30, 200), on the title and artist cells). The model also holds
// PlayListTrNum, the 1-based current row (0 = none), which every row operation keeps
// on its song.
//
// Selection and focus live in one QItemSelectionModel owned by the model: rows are
// selected whole, and its current index is the focused row. A view shows and edits
// them by sharing it (view->setSelectionModel(model.selectionModel()), after
// setModel), so what the user selects is what the operations act on and what they
// select shows at once, with no copy to keep in step.
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
    // The cells of row n (made on each call: the rows are kept compact).
    PlaylistRow row(int n) const;
    QString path(int n) const;
    // The path cells of all rows, in order.
    QStringList paths() const;
    void appendRow(const PlaylistRow& row);
    void appendRows(const QVector<PlaylistRow>& rows);
    // Appends rows already in the form the model keeps them in; an empty list takes
    // them over without a copy.
    void appendRows(QVector<StoredRow>&& rows);
    // The last row in the model's form, for rows made to follow it; null when none.
    const StoredRow* lastStoredRow() const;
    // All rows in the model's form, to read (orders are worked out over them).
    const QVector<StoredRow>& storedRows() const { return m_rows; }
    void clear();

    int PlayListTrNum() const { return m_trNum; }
    void setPlayListTrNum(int n);

    // Clamps PlayListTrNum into 1..count() (0 and below become 1) and highlights
    // that row. Callers call it when the list has rows; on an empty list it marks
    // nothing.
    void SetPlayListColor();
    // Removes the highlight of row PlayListTrNum if it lies within the list.
    void CancelPlayListColor();
    bool isHighlighted(int n) const;

    // The store of the selection and the focus, for views to share.
    QItemSelectionModel* selectionModel() { return &m_selection; }
    // Whether every cell of row n is selected.
    bool isSelected(int n) const;
    void setSelected(int n, bool on);
    // The selection as one flag per row (index 0 is row 1), read in one pass over the
    // selected ranges; and the reverse, which replaces the selection with the given
    // rows, written as one selection of runs (nothing happens when it is unchanged).
    std::vector<bool> selectionFlags() const;
    void setSelectionFlags(const std::vector<bool>& flags);
    // Selects row n alone; nothing when n lies outside the list.
    void selectOnly(int n);
    // The focused row (the selection model's current index), 0 when none.
    int focusedRow() const;
    void setFocusedRow(int n);

    // The first row (in list order) whose path equals the given one; 0 when none.
    int findFirstRowWithPath(const QString& path) const;
    // The first highlighted row; 1 when none is (also for an empty list).
    int FindPlayingRow() const;

    // The two changes the row operations make, each in one piece: the rows, the
    // highlight, the selection and the focus change first, then rowsChanged (when the
    // rows changed) and playListTrNumChanged (when PlayListTrNum took a new value) are
    // sent once each, playListTrNumChanged first.
    //
    // Removes the flagged rows (one flag per row, index 0 is row 1). PlayListTrNum
    // counts down for every removed row above it; when its own row goes it keeps its
    // number (now the row that followed) and no row is highlighted. The focus stays on
    // its row; when that row went, it passes to the row that took its place (the last
    // row when it was at the end). The rows left keep their selection, and the focused
    // row is selected too. Nothing happens when no row is flagged.
    void removeFlaggedRows(const std::vector<bool>& flags);

    // What goes with the cells when the rows take a new order.
    enum class Reorder {
        // Whole rows move (a sort): their selection, the focus, persistent indexes and
        // the highlight go with them, and PlayListTrNum goes to the highlighted row
        // (FindPlayingRow()). Announced as a change of layout.
        Rows,
        // The cells move over places that stay (blocks moved, a shuffle): the focus,
        // persistent indexes and the highlights stay with their places and the
        // selection goes with the cells. PlayListTrNum follows its song, which takes the
        // highlight along, and is then clamped and highlighted as by SetPlayListColor.
        // Announced as changed data over the rows whose cells changed.
        Cells,
    };
    // Puts the rows in a new order: order[k] is the 0-based row that becomes row k, a
    // permutation of 0 … count() - 1. `selection`, when given, is the selection to leave
    // (one flag per row of the new order) in place of the one carried along. Nothing
    // happens on an empty list.
    void reorder(const std::vector<int>& order, Reorder how,
                 const std::optional<std::vector<bool>>& selection = std::nullopt);

    // Asks the views to scroll row n into view.
    void requestScrollTo(int n);

signals:
    void scrollToRowRequested(int n);
    // PlayListTrNum took a new value, by whatever path (setPlayListTrNum, the clamp of
    // SetPlayListColor, a row operation); sent once the model is consistent again.
    void playListTrNumChanged(int row);
    // The number, order or paths of the rows changed (append, clear, delete, move,
    // shuffle, sort); sent once per change, not for highlight or selection changes.
    void rowsChanged();

private:
    // SetPlayListColor without the announcement: clamps PlayListTrNum and highlights.
    void markTrNum();
    // Sends playListTrNumChanged when PlayListTrNum differs from the value before.
    void announceTrNum(int before);
    // Replaces the selection with the flagged rows, as one selection of runs, even
    // when it is unchanged.
    void selectRuns(const std::vector<bool>& flags);
    // The rows, the highlight and PlayListTrNum of reorder(), each way, with their
    // announcements to the views.
    void moveWholeRows(const std::vector<int>& order);
    void moveCells(const std::vector<int>& order);
    QVector<StoredRow> m_rows;
    int m_trNum = 1;
    PlaylistSelectionModel m_selection;
};

} // namespace pelto
