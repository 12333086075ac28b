#pragma once

#include "player/ButtonPress.h"
#include "player/ControlCommands.h"
#include "player/KeyCommands.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"
#include "skin/SkinElements.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace pelto {

class MainPlayer;
class Player;

// Connects the main window's input to the controls: the time bar seeks, the volume
// bar sets the volume, the eight skinned buttons show their pressed image and act,
// and the keys of the window and its text areas give their commands. It also becomes
// the player's ApplyVolume, which the skin load runs, so the volume knob is placed
// inside each new skin's volume bar.
class MainPlayerControls : public QObject {
    Q_OBJECT
public:
    explicit MainPlayerControls(MainPlayer& window);
    ~MainPlayerControls() override;

    VolumeControl& volume() { return m_volume; }
    SeekControl& seek() { return m_seek; }
    // Shared with the playlist window, whose buttons use the same pressed moment.
    ButtonPress& buttons() { return m_buttons; }
    // Where the playlist window and the tray install their commands.
    ControlCommands& commands() { return m_commands; }
    KeyCommands& keys() { return m_keys; }

    // Reads the volume bar's size from the window, places the knob for the current
    // step and sets the output.
    void ApplyVolume();
    // Lets the user choose files and appends them to the playlist, after a short
    // pause that lets the window repaint once the dialog has gone. Nothing is played.
    // The key S runs it until the playlist window installs its own.
    void AddSound_PlayList();

private:
    void pressed(SkinElement e, QMouseEvent* event);
    void moved(SkinElement e, QMouseEvent* event);
    void released(SkinElement e, QMouseEvent* event);
    void clicked(SkinElement e);
    void key(QKeyEvent* event);
    void placeVolumeKnob(double offset);
    void setPressedImageVisible(int code, bool visible);

    MainPlayer& m_window;
    Player& m_player;
    VolumeControl m_volume;
    SeekControl m_seek;
    ButtonPress m_buttons;
    ControlCommands m_commands;
    KeyCommands m_keys;
};

} // namespace pelto
