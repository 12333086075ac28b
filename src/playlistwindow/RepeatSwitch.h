#pragma once

#include <QObject>

namespace pelto {

class ButtonPress;
class Player;

// The playlist window's repeat switch: four stacked images of which one shows, and a
// click target over them. A click on the switch shows the pressed image of its state
// for 80 ms through the shared button timer (code 1000, which changes no image of its
// own), and only then turns repeat over; the player holds the repeat flag and the
// switch shows it, also when it changes elsewhere (the configuration at start).
class RepeatSwitch : public QObject {
    Q_OBJECT
public:
    // Which image shows: RepeatBtm, Repeat2Btm, Repeat_OnBtm, Repeat_On2Btm.
    enum Face { Off, PressedFromOff, On, PressedFromOn };
    Q_ENUM(Face)

    RepeatSwitch(Player& player, ButtonPress& buttons, QObject* parent = nullptr);

    Face face() const { return m_face; }
    // Shows the player's repeat flag now, for a flag set without an announcement (the
    // configuration read at start); nothing while the switch is pressed.
    void refresh();

    // RepeatBtmFace was clicked. A click while the pressed image shows is ignored: the
    // switch turns once per pressed moment.
    void click();

signals:
    void faceChanged(pelto::RepeatSwitch::Face face);

private:
    void setFace(Face face);

    Player& m_player;
    ButtonPress& m_buttons;
    Face m_face;
};

} // namespace pelto
