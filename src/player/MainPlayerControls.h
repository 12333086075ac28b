#pragma once

#include "skin/SkinElements.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace pelto {

class ControlCommands;
class KeyCommands;
class MainPlayer;
class Player;

// Connects the main window's input to the controls: the time bar seeks, the volume
// bar sets the volume, the eight skinned buttons show their pressed image and act,
// and the keys of the window and its text areas give their commands. It also draws
// what the controls change: the volume knob and the buttons' pressed images. Until
// the playlist window installs its own, it gives the add-files command its dialog.
class MainPlayerControls : public QObject {
    Q_OBJECT
public:
    MainPlayerControls(MainPlayer& window, ControlCommands& commands, KeyCommands& keys);

    // Lets the user choose files and appends them to the playlist, after a short
    // pause that lets the window repaint once the dialog has gone. Nothing is played.
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
    ControlCommands& m_commands;
    KeyCommands& m_keys;
};

} // namespace pelto
