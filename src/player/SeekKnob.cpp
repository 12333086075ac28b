#include "SeekKnob.h"

#include "common/Numbers.h"
#include "common/Twips.h"

namespace pelto {

int SeekKnob::range(int trackWidthPx, int knobWidthPx) {
    return pixelsToTwips(trackWidthPx - knobWidthPx);
}

std::optional<int> SeekKnob::refresh(int rangeTwips, int totalSec, int posSec) {
    if (totalSec == 0)
        return std::nullopt;
    const double target = double(rangeTwips) / double(totalSec) * double(posSec);
    if (SeekDragging != 0 || !(target > double(KnobOffset) + 5.0))
        return std::nullopt;
    KnobOffset = int(roundHalfEven(target));
    return KnobOffset;
}

} // namespace pelto
