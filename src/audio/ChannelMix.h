#pragma once

#include <cstdint>
#include <vector>

namespace pelto {

// How a format orders its channels when there are more than two.
enum class ChannelOrder {
    Wave,   // FLAC (as WAVE_FORMAT_EXTENSIBLE): FL FR FC LFE BL BR SL SR, per count
    Vorbis, // Ogg Vorbis and Opus (mapping family 0 and 1): FL FC FR ..., per count
    Unknown // no defined layout: even channels to the left, odd to the right
};

// Turns interleaved frames of any number of channels into the stereo frames the engine
// plays: mono goes to both sides, stereo passes unchanged, and more channels are mixed
// down (a centre channel at -3 dB on both sides, side and back channels at -3 dB on
// their side, a back centre at -6 dB on both, the LFE left out), scaled so that
// channels at full scale together still reach full scale and no more.
class StereoMix {
public:
    StereoMix() = default;
    StereoMix(int channels, ChannelOrder order);

    int channels() const { return m_channels; }
    // Writes 2 × frames floats to `out` from channels() × frames floats of `in`.
    void apply(const float* in, float* out, std::int64_t frames) const;

private:
    int m_channels = 2;
    std::vector<float> m_left;  // each input channel's share of the left side
    std::vector<float> m_right; // and of the right
};

} // namespace pelto
