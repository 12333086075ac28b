#pragma once

#include "player/WindowDrag.h"
#include "playlistwindow/RepeatSwitch.h"
#include "skin/ScaledPicture.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;

namespace pelto {

class ButtonPress;
class ControlCommands;
class FindSongForm;
class FirstPlace;
class Player;
class PlaylistModel;
struct Settings;
class PlayListView;
class StripImage;

// The playlist window: a resizable window without a caption of its own. The strip
// along its top serves as its title bar: the title "Pelto" and the image buttons
// (add, delete, up, down, shuffle, save, the repeat switch and close); below it the
// list shows the playlist's rows. Dragging the strip moves the window, dragging its
// border resizes it; files dropped on it are added.
//
// Each button is a normal image over its darker pressed image: a click hides the
// normal image for the shared button timer's pressed moment (codes 10 to 15), and the
// button acts once it has popped up again. The close button, a close by the window
// manager and the main window's playlist button hide and show it
// (View_PlayList_Menu_Click); every change of its visibility is announced. It keeps
// its place, size, column widths and visibility in Pelto.cfg; without a saved place it
// first shows beside the main window. Ctrl+F and Ctrl+J open
// its find window, which goes when it is hidden.
class PlayListForm : public QWidget {
    Q_OBJECT
public:
    PlayListForm(PlaylistModel& playlist, Player& player, ControlCommands& commands,
                 ButtonPress& buttons);
    ~PlayListForm() override;

    PlayListView* listView() const { return m_list; }
    // The find window, once Ctrl+F or Ctrl+J first opened it; null before.
    FindSongForm* findWindow() const { return m_find; }
    RepeatSwitch& repeatSwitch() { return m_repeat; }

    // Lays the window out: the list fills the client area below the strip and the
    // close button keeps to the right edge. With AutoResize non-zero the window first
    // takes the outer size Wdt × Hgt, in twips. A layout already running is not
    // started again.
    void FormSet(int AutoResize, int Wdt, int Hgt);
    // Hides the window when it shows, shows it when it is hidden.
    void View_PlayList_Menu_Click();

    // Its place, size, column widths and visibility from and to Pelto.cfg's values.
    void applyConfig(const Settings& settings);
    void storeConfig(Settings& settings) const;
    // Without a saved place the window first shows beside this window (FirstPlace).
    void setFirstPlaceBeside(QWidget* window);
    // Whether no place was saved and the window has not shown yet beside the other.
    bool waitsForFirstPlace() const;

signals:
    // The window was shown or hidden.
    void visibilityChanged(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildStrip();
    void showRepeatFace(RepeatSwitch::Face face);
    StripImage* normalImage(int code) const;
    // A strip button was clicked: its pressed moment, then its action.
    void pressButton(int code);
    void act(int code, const std::function<double()>& uniform01);
    void SaveListBtm_Click();
    void PlayListView_DblClick();
    void PlayListView_ColumnClick(int column);
    void CloseBtm_Click();
    // Ctrl+F, Ctrl+J: the find window, made the first time.
    void openFindWindow();
    // Playlist row n as the only selected and the focused row, brought into sight.
    void showRow(int n);

    PlaylistModel& m_playlist;
    Player& m_player;
    ControlCommands& m_commands;
    ButtonPress& m_buttons;

    ScaledPicture m_stripBackground;
    QLabel* m_titleBar = nullptr;
    std::array<StripImage*, 6> m_normal{};
    std::array<StripImage*, 4> m_repeatImages{};
    StripImage* m_repeatFace = nullptr;
    StripImage* m_close = nullptr;
    PlayListView* m_list = nullptr;
    RepeatSwitch m_repeat;
    FindSongForm* m_find = nullptr;
    FirstPlace* m_firstPlace = nullptr;

    // 1 while FormSet runs.
    quint8 FormSetFlag = 0;
    WindowDrag m_drag{*this};
    // A resize by the border where the platform leaves it to the window.
    Qt::Edges m_resizeEdges;
    QRect m_resizeStart;
    QPoint m_resizeGrab;
};

} // namespace pelto
