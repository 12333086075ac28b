#pragma once

namespace pelto {

// Windows measure lengths in twips, 15 to the logical pixel in both directions.
// Arithmetic whose results depend on the unit (the seek knob's 5-twip threshold, knob
// offsets, scroll steps, the pull-back of a saved window place) is done in twips and
// converted at the widget edge.
constexpr int kTwipsPerPixel = 15;

constexpr int pixelsToTwips(int px) {
    return px * kTwipsPerPixel;
}
// Twips to whole pixels, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

} // namespace pelto
