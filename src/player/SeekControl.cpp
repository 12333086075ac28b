#include "player/SeekControl.h"

#include "common/Numbers.h"
#include "player/Player.h"
#include "player/PlayerView.h"

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
    return m_player.knob().SeekDragging != 0;
}

void SeekControl::mousePressOrMove(Qt::MouseButtons buttons, double x) {
    if (buttons != Qt::LeftButton || m_player.PlayState() == StateStopped)
        return;
    PlayerView* view = m_player.view();
    if (!view)
        return;
    m_player.knob().SeekDragging = -1;
    m_heldAt = seekKnobOffsetAt(x, view->seekRangeTwips());
    view->placeSeekKnob(int(roundHalfEven(m_heldAt)));
}

void SeekControl::mouseRelease() {
    if (!isDragging())
        return;
    m_player.knob().SeekDragging = 0;
    const int range = m_player.view() ? m_player.view()->seekRangeTwips() : 0;
    if (Decoder* decoder = m_player.decoder())
        decoder->seek(seekTargetSec(m_heldAt, m_player.TotalSec(), range));
    m_player.readState();
    m_player.afterSeek();
}

void SeekControl::SeekBy(int delta) {
    SeekTo(m_player.PlayPosSec() + delta);
}

void SeekControl::SeekTo(int seconds) {
    if (m_player.PlayState() == StateStopped)
        return;
    m_player.setPlayPosSec(seconds < 0 ? 0 : seconds);
    if (Decoder* decoder = m_player.decoder())
        decoder->seek(m_player.PlayPosSec());
    m_player.afterSeek();
}

} // namespace pelto
