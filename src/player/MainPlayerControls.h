#pragma once

#include "skin/SkinElements.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace pelto {

class ButtonPress;
class ControlCommands;
class KeyCommands;
class MainPlayer;
class SeekControl;
class VolumeControl;

// Connects the main window's input to the controls: the time bar seeks, the volume
// bar sets the volume, the eight skinned buttons show their pressed image and act,
// and the keys of the window and its text areas give their commands. It also draws
// what the controls change: the volume knob and the buttons' pressed images. Files
// dropped on the window go to the drop command.
class MainPlayerControls : public QObject {
    Q_OBJECT
public:
    MainPlayerControls(MainPlayer& window, ControlCommands& commands, KeyCommands& keys,
                       SeekControl& seek, VolumeControl& volume, ButtonPress& buttons);

private:
    void pressed(SkinElement e, QMouseEvent* event);
    void moved(SkinElement e, QMouseEvent* event);
    void released(SkinElement e, QMouseEvent* event);
    void clicked(SkinElement e);
    void key(QKeyEvent* event);
    void placeVolumeKnob(double offset);
    void setPressedImageVisible(int code, bool visible);

    MainPlayer& m_window;
    ControlCommands& m_commands;
    KeyCommands& m_keys;
    SeekControl& m_seek;
    VolumeControl& m_volume;
};

} // namespace pelto
