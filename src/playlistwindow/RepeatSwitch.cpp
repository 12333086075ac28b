#include "playlistwindow/RepeatSwitch.h"

#include "player/ButtonPress.h"
#include "player/Player.h"

#include <QPointer>

namespace pelto {

RepeatSwitch::RepeatSwitch(Player& player, ButtonPress& buttons, QObject* parent)
    : QObject(parent), m_player(player), m_buttons(buttons), m_face(player.repeatOn() ? On : Off) {
    // A change made elsewhere while the switch is pressed shows once it pops up.
    connect(&player, &Player::repeatChanged, this, &RepeatSwitch::refresh);
}

void RepeatSwitch::refresh() {
    if (m_face == Off || m_face == On)
        setFace(m_player.repeatOn() ? On : Off);
}

void RepeatSwitch::click() {
    if (m_face != Off && m_face != On)
        return;
    const bool turnOn = m_face == Off;
    setFace(turnOn ? PressedFromOff : PressedFromOn);
    QPointer<RepeatSwitch> self(this);
    m_buttons.start(PlainPause, kButtonPressMs, [self, turnOn] {
        if (!self)
            return;
        self->m_player.setRepeat(turnOn);
        self->setFace(self->m_player.repeatOn() ? On : Off);
    });
}

void RepeatSwitch::setFace(Face face) {
    if (face == m_face)
        return;
    m_face = face;
    emit faceChanged(face);
}

} // namespace pelto
