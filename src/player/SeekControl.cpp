#include "player/SeekControl.h"

#include "common/Numbers.h"
#include "player/InfoDisplay.h"
#include "player/Player.h"

#include <cmath>

namespace pelto {

double seekKnobOffsetAt(double x, int range) {
    if (x >= range)
        return range;
    return x > 0 ? x : 0;
}

int seekTargetSec(double offset, int totalSec, int range) {
    const double divisor = roundHalfEven(range);
    if (divisor <= 0)
        return 0;
    return int(std::trunc(roundHalfEven(offset * totalSec) / divisor));
}

bool SeekControl::isDragging() const {
    return m_display.knobHeld();
}

void SeekControl::mousePressOrMove(Qt::MouseButtons buttons, double x) {
    if (buttons != Qt::LeftButton || m_player.PlayState() == PlayState::Stopped)
        return;
    m_heldAt = seekKnobOffsetAt(x, m_display.seekRangeTwips());
    m_display.holdKnob(int(roundHalfEven(m_heldAt)));
}

void SeekControl::mouseRelease() {
    if (!isDragging())
        return;
    m_display.releaseKnob();
    m_player.seek(seekTargetSec(m_heldAt, m_player.TotalSec(), m_display.seekRangeTwips()));
}

void SeekControl::SeekBy(int delta) {
    SeekTo(m_player.PlayPosSec() + delta);
}

void SeekControl::SeekTo(int seconds) {
    m_player.seek(seconds);
}

} // namespace pelto
