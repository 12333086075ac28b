#pragma once

#include <QtCore/qnamespace.h>

namespace pelto {

class InfoDisplay;
class Player;

// Where a pointer at x twips from the time bar's left edge puts the seek knob: pinned
// to 0 and to the range R at the two ends.
double seekKnobOffsetAt(double x, int range);
// The second a knob offset stands for: offset × length over R, each side first rounded
// to a whole number and the quotient truncated. A bar without travel seeks to 0.
int seekTargetSec(double offset, int totalSec, int range);

// Seeking with the time bar and the arrow keys. Pressing the left button on the bar
// (or moving over it with exactly the left button held) while a song is open takes
// hold of the knob, which then follows the pointer; the release seeks to the place the
// knob stands for. While the knob is held the position refresh leaves it alone.
class SeekControl {
public:
    SeekControl(Player& player, InfoDisplay& display) : m_player(player), m_display(display) {}

    // A press on the bar or a pointer move over it, x in twips from its left edge.
    void mousePressOrMove(Qt::MouseButtons buttons, double x);
    // A release of any button over the bar.
    void mouseRelease();
    // Seeks `delta` seconds from the current position (never before 0).
    void SeekBy(int delta);
    // Seeks to a second counted from the song's start (never before 0). Like the keys,
    // it does nothing while stopped.
    void SeekTo(int seconds);

    bool isDragging() const;

private:
    Player& m_player;
    InfoDisplay& m_display;
    // Where the held knob stands, in twips from the bar's left edge.
    double m_heldAt = 0;
};

} // namespace pelto
