#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

namespace pelto {

class PlaylistModel;

// The list of the playlist window: the four columns of the playlist model in report
// form, whole rows selected, several at once, sharing the model's selection and focus.
// It draws only the rows in sight over uniform row heights, so it keeps up with tens
// of thousands of rows. The columns keep the widths they are given (the last one does
// not stretch); a click on a header asks for a sort, not Qt's own sorting.
class PlayListView : public QTreeView {
    Q_OBJECT
public:
    // The columns start at the widths of the window's design.
    explicit PlayListView(PlaylistModel& model, QWidget* parent = nullptr);

signals:
    // A double click with the left button anywhere in the list, also below the rows.
    void doubleClickedAnywhere();
    // Enter or Return, and Delete.
    void enterPressed();
    void deletePressed();
    // A header of column 0..3 was clicked.
    void columnClicked(int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Brings a row into sight; a hidden list does it when it shows, measured at its
    // size then.
    void scrollToRow(const QModelIndex& row);
    QPersistentModelIndex m_pendingScroll;
};

} // namespace pelto
