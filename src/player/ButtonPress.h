#pragma once

#include "skin/SkinElements.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace pelto {

// Codes of PressedButton: the main window's eight skinned buttons, the playlist
// window's six, and a plain pause without an image.
enum ButtonCode : int {
    NoButton = -1,
    BackButton = 0,
    PlayButton = 1,
    PauseButton = 2,
    StopButton = 3,
    NextButton = 4,
    OpenButton = 5,
    PowerButton = 6,
    PlaylistButton = 7,
    AddItemButton = 10,
    DelItemButton = 11,
    UpItemButton = 12,
    DownItemButton = 13,
    RndItemButton = 14,
    SaveListButton = 15,
    PlainPause = 1000
};

// How long a pressed image shows before the button acts, in milliseconds.
constexpr int kButtonPressMs = 80;
// The pause after a file dialog before its files are added, so that the window is
// repainted first.
constexpr int kAfterDialogMs = 50;

// The pressed image of a main window button (code 0..7), shown over its normal image,
// which takes the mouse.
std::optional<SkinElement> pressedImageOf(int code);
// The code of a main window button's normal image.
std::optional<int> buttonCodeOf(SkinElement normalImage);

// The pressed moment shared by every skinned button of both windows: PressedButton
// holds the code whose pressed image shows, ButtonClickTimer ends the moment, and only
// then does the button's action run. The action is a continuation run from the
// timer's tick, so the window keeps handling events (and other timers keep ticking)
// while the image shows. The windows draw the images: showPressed when a moment
// starts, endPressed when it ends.
class ButtonPress : public QObject {
    Q_OBJECT
public:
    explicit ButtonPress(QObject* parent = nullptr);

    int PressedButton() const { return m_pressedButton; }
    const QTimer& ButtonClickTimer() const { return m_timer; }

    // Shows the pressed image of a button for 80 ms, then runs its action.
    void press(int code, std::function<void()> action);
    // Waits for a while without an image (code 1000), then goes on with `then`.
    void pause(int ms, std::function<void()> then);
    // Either of the above with any code and interval.
    void start(int code, int ms, std::function<void()> then);

signals:
    void showPressed(int code);
    void endPressed(int code);

private:
    void tick();

    struct Pending {
        int code;
        std::function<void()> then;
    };
    QTimer m_timer;
    int m_pressedButton = NoButton;
    std::vector<Pending> m_pending;
};

} // namespace pelto
