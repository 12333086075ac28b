#include "audio/PlaybackCore.h"

#include "audio/Decoder.h"
#include "audio/PcmSource.h"

#include <algorithm>
#include <chrono>

namespace pelto {

ChannelGains gainsFromVolume(std::uint32_t leftRight) {
    return {float(leftRight & 0xFFFFu) / 65535.0f, float(leftRight >> 16) / 65535.0f};
}

PlaybackCore::PlaybackCore() : m_state(StateStopped) {}
PlaybackCore::~PlaybackCore() = default;

void PlaybackCore::setSource(std::unique_ptr<PcmSource> source) {
    m_source = std::move(source);
    m_state = StateStopped;
    m_playedFrame = 0;
    m_rate = m_source ? m_source->rate() : 0;
}

void PlaybackCore::start() {
    if (!m_source || !m_source->seekFrame(0)) {
        m_state = StateStopped;
        return;
    }
    m_nextFrame = m_renderedEnd = 0;
    m_playedFrame = 0;
    m_sourceDone = m_lastBufferHadEnd = false;
    m_state = StatePlaying;
}

void PlaybackCore::stop() {
    m_state = StateStopped;
    m_playedFrame = 0;
}

void PlaybackCore::pause() {
    if (m_state == StatePlaying)
        m_state = StatePaused;
}

void PlaybackCore::resume() {
    if (m_state == StatePaused)
        m_state = StatePlaying;
}

void PlaybackCore::seekSeconds(int seconds) {
    if (!m_source || m_state == StateStopped)
        return;
    const std::int64_t frame = std::int64_t(std::max(seconds, 0)) * m_rate;
    if (!m_source->seekFrame(frame)) {
        m_state = StateStopped; // past the end: the song is over
        return;
    }
    m_nextFrame = m_renderedEnd = frame;
    m_playedFrame = frame;
    m_sourceDone = m_lastBufferHadEnd = false;
}

int PlaybackCore::state(int& positionSec) const {
    const int rate = m_rate.load();
    positionSec = rate > 0 ? int(m_playedFrame.load() / rate) : 0;
    return m_state.load();
}

void PlaybackCore::render(float* out, int frames) {
    const auto start = std::chrono::steady_clock::now();
    renderPlaying(out, frames);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    if (micros > m_longestRenderMicros.load())
        m_longestRenderMicros = micros;
}

void PlaybackCore::renderPlaying(float* out, int frames) {
    const int state = m_state.load();
    if (state != StateStopped)
        m_playedFrame = m_renderedEnd; // the buffer before this one has played
    if (state == StatePlaying && m_lastBufferHadEnd)
        m_state = StateStopped; // and it held the last sample
    if (m_state.load() != StatePlaying) {
        std::fill(out, out + 2 * frames, 0.0f);
        return;
    }
    std::int64_t got = 0;
    while (!m_sourceDone && got < frames) {
        const std::int64_t n = m_source->read(out + 2 * got, frames - got);
        if (n <= 0)
            m_sourceDone = true;
        got += std::max<std::int64_t>(n, 0);
    }
    std::fill(out + 2 * got, out + 2 * frames, 0.0f);
    const ChannelGains gains = gainsFromVolume(m_volume.load());
    if (gains.left != 1.0f || gains.right != 1.0f) {
        for (std::int64_t i = 0; i < got; ++i) {
            out[2 * i] *= gains.left;
            out[2 * i + 1] *= gains.right;
        }
    }
    m_nextFrame += got;
    m_renderedEnd = m_nextFrame;
    m_lastBufferHadEnd = m_sourceDone;
}

} // namespace pelto
