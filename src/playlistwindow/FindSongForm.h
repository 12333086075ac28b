#pragma once

#include <QPersistentModelIndex>
#include <QRect>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeView;

namespace pelto {

class FoundRowsModel;
class PlaylistModel;
class RowFinder;

// The find window "曲を探す" of the playlist window: a text field and below it the rows
// whose title, artist or path hold every word typed (row number, title, artist,
// length), in playlist order. Typing narrows the list at once and selects its first
// row; Up, Down, Page Up and Page Down move in the list while the field keeps the
// keyboard. Enter or a double click asks to play the chosen row and closes the window,
// Shift+Enter asks only to show it in the playlist, Esc closes. The list follows the
// playlist while the window is open, keeping the chosen song chosen where it can.
// Closing hides the window, which keeps its query, place and size for the next time.
class FindSongForm : public QWidget {
    Q_OBJECT
public:
    // A window of its own, kept above `owner` (the playlist window).
    FindSongForm(const PlaylistModel& playlist, QWidget* owner);
    ~FindSongForm() override;

    // Shows the window (over the owner the first time), brings it to the front and
    // gives the field the keyboard with its text selected.
    void open();

    QLineEdit* field() const { return m_field; }
    QTreeView* list() const { return m_list; }
    const RowFinder& finder() const { return *m_finder; }
    // The playlist row (1-based) chosen in the list; 0 when the list is empty.
    int chosenRow() const;

signals:
    // Play playlist row n (1-based), as a double click in the playlist does.
    void playRequested(int n);
    // Select playlist row n alone and bring it into sight.
    void showRequested(int n);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The window's keys, in the field or elsewhere; false for keys it leaves alone.
    bool handleKey(QKeyEvent& key);
    void choose(int line);
    void rowsFound();
    void play();

    const PlaylistModel& m_playlist;
    RowFinder* m_finder = nullptr;
    FoundRowsModel* m_rows = nullptr;
    QLineEdit* m_field = nullptr;
    QLabel* m_count = nullptr;
    QTreeView* m_list = nullptr;
    // Set while the query changes: the first row is chosen, not the song kept.
    bool m_typing = false;
    // The chosen song: its row (following rows that move) and its path.
    QPersistentModelIndex m_chosen;
    QString m_chosenPath;
    int m_chosenLine = 0;
    // The place and size the window had when it was last hidden.
    QRect m_place;
};

} // namespace pelto
