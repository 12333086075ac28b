#pragma once

#include <QByteArray>

namespace pelto::test {

// What an MPEG-1 Layer I stream written by makeLayerOneStream holds.
struct LayerOneShape {
    int rate = 44100;      // 32000, 44100 or 48000
    bool stereo = false;   // joint-free stereo, or mono
    int bitrateKbps = 128; // one of the Layer I bitrates, 32 to 448
    int frames = 100;      // 384 samples each
    int toneSubband = 2;   // the subband that carries a tone; -1 for silence
};

// Writes a Layer I stream (no CRC, padding slots where the bitrate needs them): no
// encoder on the system makes this layer. Each frame allocates 8 bits to one subband
// and carries a slow sine in it, so the decoded signal is a tone near that subband.
QByteArray makeLayerOneStream(const LayerOneShape& shape);

} // namespace pelto::test
