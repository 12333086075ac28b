#pragma once

#include <cstdint>
#include <optional>

namespace pelto {

// The seek knob's position while a song plays. The knob follows the playing
// position forward only, and only by more than 5 twips at a time, so it does not
// jitter; it goes back when KnobOffset is lowered (0 when a song starts or a skin is
// applied, -99 after a seek, which forces the next refresh to redraw it).
class SeekKnob {
public:
    // The seek range R in twips: the width of the time bar's track (ChangeTime) minus
    // the width of the knob (TimeBarSkin), both in pixels.
    static int range(int trackWidthPx, int knobWidthPx);

    // The knob refresh run by every position refresh: the offset (in twips from the
    // track's left edge) to draw the knob at, or nothing when it stays. Updates
    // KnobOffset when the knob moves. A song of length 0 never moves the knob, and
    // the knob is left alone while the user drags it.
    std::optional<int> refresh(int rangeTwips, int totalSec, int posSec);

    // The offset at which the refresh last drew the knob, in twips; -99 forces a redraw.
    int KnobOffset = 0;
    // -1 while the knob is held with the left button, else 0.
    std::int16_t SeekDragging = 0;
};

} // namespace pelto
