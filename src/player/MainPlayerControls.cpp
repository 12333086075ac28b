#include "player/MainPlayerControls.h"

#include "common/Twips.h"
#include "player/ButtonPress.h"
#include "player/ControlCommands.h"
#include "player/KeyCommands.h"
#include "player/MainPlayer.h"
#include "player/SeekControl.h"
#include "player/VolumeControl.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace pelto {

MainPlayerControls::MainPlayerControls(MainPlayer& window, ControlCommands& commands,
                                       KeyCommands& keys, SeekControl& seek, VolumeControl& volume,
                                       ButtonPress& buttons)
    : QObject(&window), m_window(window), m_commands(commands), m_keys(keys), m_seek(seek),
      m_volume(volume) {
    // Moves over the volume bar count without a button too.
    window.element(SkinElement::ChangeVolume)->setMouseTracking(true);
    connect(&window, &MainPlayer::elementPressed, this, &MainPlayerControls::pressed);
    connect(&window, &MainPlayer::elementMoved, this, &MainPlayerControls::moved);
    connect(&window, &MainPlayer::elementReleased, this, &MainPlayerControls::released);
    connect(&window, &MainPlayer::elementClicked, this, &MainPlayerControls::clicked);
    connect(&window, &MainPlayer::keyDown, this, &MainPlayerControls::key);
    connect(&window, &MainPlayer::keyUp, this, &MainPlayerControls::key);
    connect(&window, &MainPlayer::filesDropped, &commands, &ControlCommands::dropFiles);
    connect(&volume, &VolumeControl::knobPlaced, this, &MainPlayerControls::placeVolumeKnob);
    connect(&buttons, &ButtonPress::showPressed, this,
            [this](int code) { setPressedImageVisible(code, true); });
    connect(&buttons, &ButtonPress::endPressed, this,
            [this](int code) { setPressedImageVisible(code, false); });
}

void MainPlayerControls::pressed(SkinElement e, QMouseEvent* event) {
    // A press reports the one button that went down.
    const Qt::MouseButtons button(event->button());
    switch (e) {
    case SkinElement::ChangeTime:
        return m_seek.mousePressOrMove(button, event->position().x() * kTwipsPerPixel);
    case SkinElement::ChangeVolume:
        return m_volume.mouseOnBar(button, event->position().y() * kTwipsPerPixel);
    case SkinElement::PowerSkin:
        return m_commands.useButton(PowerButton, event->button() == Qt::LeftButton);
    default:
        return;
    }
}

void MainPlayerControls::moved(SkinElement e, QMouseEvent* event) {
    if (e == SkinElement::ChangeTime)
        m_seek.mousePressOrMove(event->buttons(), event->position().x() * kTwipsPerPixel);
    else if (e == SkinElement::ChangeVolume)
        m_volume.mouseOnBar(event->buttons(), event->position().y() * kTwipsPerPixel);
}

void MainPlayerControls::released(SkinElement e, QMouseEvent*) {
    if (e == SkinElement::ChangeTime)
        m_seek.mouseRelease();
}

void MainPlayerControls::clicked(SkinElement e) {
    const auto code = buttonCodeOf(e);
    if (code && *code != PowerButton)
        m_commands.useButton(*code);
}

void MainPlayerControls::key(QKeyEvent* event) {
    if (m_keys.keyEvent(*event))
        event->accept();
}

void MainPlayerControls::placeVolumeKnob(double offset) {
    QWidget* knob = m_window.element(SkinElement::VolumeBarSkin);
    const int top = m_window.element(SkinElement::ChangeVolume)->y();
    knob->move(knob->x(), top + qRound(offset / kTwipsPerPixel));
}

void MainPlayerControls::setPressedImageVisible(int code, bool visible) {
    if (const auto e = pressedImageOf(code))
        m_window.element(*e)->setVisible(visible);
}

} // namespace pelto
