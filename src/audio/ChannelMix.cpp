#include "audio/ChannelMix.h"

#include <algorithm>

namespace pelto {

namespace {

enum Place { FL, FR, FC, LFE, BL, BR, SL, SR, BC };

// The channels of each count from 3 to 8 in the two orders.
const std::vector<Place>& placesOf(int channels, ChannelOrder order) {
    static const std::vector<Place> wave[] = {{FL, FR, FC},
                                              {FL, FR, BL, BR},
                                              {FL, FR, FC, BL, BR},
                                              {FL, FR, FC, LFE, BL, BR},
                                              {FL, FR, FC, LFE, BC, SL, SR},
                                              {FL, FR, FC, LFE, BL, BR, SL, SR}};
    static const std::vector<Place> vorbis[] = {{FL, FC, FR},
                                                {FL, FR, BL, BR},
                                                {FL, FC, FR, BL, BR},
                                                {FL, FC, FR, BL, BR, LFE},
                                                {FL, FC, FR, SL, SR, BC, LFE},
                                                {FL, FC, FR, SL, SR, BL, BR, LFE}};
    return order == ChannelOrder::Wave ? wave[channels - 3] : vorbis[channels - 3];
}

constexpr float kMinus3dB = 0.70710678f;

} // namespace

StereoMix::StereoMix(int channels, ChannelOrder order) : m_channels(std::max(channels, 1)) {
    if (m_channels <= 2)
        return;
    m_left.assign(size_t(m_channels), 0.0f);
    m_right.assign(size_t(m_channels), 0.0f);
    if (order == ChannelOrder::Unknown || m_channels > 8) {
        for (int c = 0; c < m_channels; ++c)
            (c % 2 == 0 ? m_left : m_right)[size_t(c)] = 1.0f;
    } else {
        const std::vector<Place>& places = placesOf(m_channels, order);
        for (int c = 0; c < m_channels; ++c) {
            float& l = m_left[size_t(c)];
            float& r = m_right[size_t(c)];
            switch (places[size_t(c)]) {
            case FL:
                l = 1.0f;
                break;
            case FR:
                r = 1.0f;
                break;
            case FC:
                l = r = kMinus3dB;
                break;
            case BL:
            case SL:
                l = kMinus3dB;
                break;
            case BR:
            case SR:
                r = kMinus3dB;
                break;
            case BC:
                l = r = 0.5f;
                break;
            case LFE:
                break;
            }
        }
    }
    float sumLeft = 0, sumRight = 0;
    for (int c = 0; c < m_channels; ++c) {
        sumLeft += m_left[size_t(c)];
        sumRight += m_right[size_t(c)];
    }
    const float scale = 1.0f / std::max({sumLeft, sumRight, 1.0f});
    for (int c = 0; c < m_channels; ++c) {
        m_left[size_t(c)] *= scale;
        m_right[size_t(c)] *= scale;
    }
}

void StereoMix::apply(const float* in, float* out, std::int64_t frames) const {
    if (m_channels == 2) {
        if (in != out)
            std::copy(in, in + 2 * frames, out);
        return;
    }
    if (m_channels == 1) {
        for (std::int64_t i = 0; i < frames; ++i)
            out[2 * i] = out[2 * i + 1] = in[i];
        return;
    }
    const int n = m_channels;
    for (std::int64_t i = 0; i < frames; ++i, in += n) {
        float l = 0, r = 0;
        for (int c = 0; c < n; ++c) {
            l += m_left[size_t(c)] * in[c];
            r += m_right[size_t(c)] * in[c];
        }
        out[2 * i] = l;
        out[2 * i + 1] = r;
    }
}

} // namespace pelto
