#include "audio/PlaybackCore.h"

#include "audio/Decoder.h"
#include "audio/FrameRing.h"
#include "audio/PcmSource.h"

#include <algorithm>
#include <chrono>

namespace pelto {

ChannelGains gainsFromVolume(std::uint32_t leftRight) {
    return {float(leftRight & 0xFFFFu) / 65535.0f, float(leftRight >> 16) / 65535.0f};
}

namespace {

void scaleFrames(const float* from, float* to, int frames, ChannelGains gains) {
    for (int i = 0; i < frames; ++i) {
        to[2 * i] = float(from[2 * i]) * gains.left;
        to[2 * i + 1] = float(from[2 * i + 1]) * gains.right;
    }
}

} // namespace

PlaybackCore::PlaybackCore() : m_state(PlayState::Stopped) {}
PlaybackCore::~PlaybackCore() = default;

void PlaybackCore::setSource(std::unique_ptr<PcmSource> source) {
    m_state = PlayState::Stopped;
    m_playedFrame = 0;
    m_rate = source ? source->rate() : 0;
    m_length = m_renderedLength = source ? source->lengthFrames() : -1;
    m_ring = source ? makeDecodeRing(source->rate()) : nullptr;
    m_blockOffset = 0;
    m_song = ++m_songs;
    m_nextSong = 0;
    m_nextPath.clear();
    forgetJoin();
    m_decoder.setSource(std::move(source), m_ring, m_song);
}

void PlaybackCore::forgetJoin() {
    m_renderedSong = m_song;
    m_renderedLength = m_length;
    m_heardSong = m_song;
}

void PlaybackCore::setNext(const QString& path) {
    if (!m_ring || m_renderedSong != m_song || path == m_nextPath)
        return;
    m_nextPath = path;
    m_nextSong = path.isEmpty() ? 0 : ++m_songs;
    m_decoder.setNext(path, m_nextSong, m_song);
}

QString PlaybackCore::joinedSong() const {
    return m_nextSong != 0 && m_heardSong.load() == m_nextSong ? m_nextPath : QString();
}

bool PlaybackCore::takeJoined(const QString& path) {
    if (path.isEmpty() || joinedSong() != path)
        return false;
    m_song = m_nextSong;
    m_length = m_renderedLength;
    m_nextSong = 0;
    m_nextPath.clear();
    return true;
}

void PlaybackCore::beginRun(std::int64_t frame) {
    ++m_run;
    forgetJoin();
    m_ring->releaseAll();
    m_blockOffset = 0;
    m_runStarted = m_sourceDone = m_lastBufferHadEnd = false;
    m_renderedEnd = frame;
    m_playedFrame = frame;
    m_decoder.decodeFrom(frame, m_run, m_song);
}

void PlaybackCore::start() {
    if (!m_ring) {
        m_state = PlayState::Stopped;
        return;
    }
    beginRun(0);
    m_state = PlayState::Playing;
}

void PlaybackCore::stop() {
    m_state = PlayState::Stopped;
    m_playedFrame = 0;
    forgetJoin();
    m_decoder.halt();
}

void PlaybackCore::pause() {
    if (m_state == PlayState::Playing)
        m_state = PlayState::Paused;
}

void PlaybackCore::resume() {
    if (m_state == PlayState::Paused)
        m_state = PlayState::Playing;
}

void PlaybackCore::seekSeconds(int seconds) {
    if (!m_ring || m_state == PlayState::Stopped)
        return;
    const std::int64_t frame = std::int64_t(std::max(seconds, 0)) * m_rate;
    if (m_length >= 0 && frame >= m_length) {
        m_state = PlayState::Stopped; // past the end: the song is over
        forgetJoin();
        m_decoder.halt();
        return;
    }
    // A source of unknown length that cannot go there gives an empty last block, which
    // ends the song as soon as it is rendered.
    beginRun(frame);
}

PlayState PlaybackCore::state(int& positionSec) const {
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
    const PlayState state = m_state.load();
    if (state != PlayState::Stopped) {
        m_playedFrame = m_renderedEnd; // the buffer before this one has played
        m_heardSong = m_renderedSong;
    }
    if (state == PlayState::Playing && m_lastBufferHadEnd)
        m_state = PlayState::Stopped; // and it held the last sample
    // A run starts with a whole buffer (or half the ring, for a device that asks for
    // more), so no gap falls just after its first frames.
    const int startFrames =
        m_ring ? std::min(frames, m_ring->blockCount() * m_ring->blockFrames() / 2) : frames;
    if (m_state.load() != PlayState::Playing || (!m_runStarted && !hasDecoded(startFrames))) {
        std::fill(out, out + 2 * frames, 0.0f);
        return;
    }
    m_runStarted = true;
    const int got = copyFromRing(out, frames);
    std::fill(out + 2 * got, out + 2 * frames, 0.0f);
    if (got < frames && !m_sourceDone)
        m_underrunFrames += frames - got;
    m_lastBufferHadEnd = m_sourceDone;
    m_decoder.roomFreed(*m_ring);
}

bool PlaybackCore::hasDecoded(int frames) const {
    if (!m_ring)
        return false;
    int queued = -m_blockOffset;
    for (int i = 0; const FrameRing::Block* block = m_ring->front(i); ++i) {
        if (!isWanted(*block))
            continue;
        queued += block->frames;
        if (queued >= frames || block->last)
            return true;
    }
    return false;
}

// A block of the current run, of the song rendered or of the next one named.
bool PlaybackCore::isWanted(const FrameRing::Block& block) const {
    return block.run == m_run &&
           (block.song == m_renderedSong || (m_nextSong != 0 && block.song == m_nextSong));
}

// Copies the current run's next frames times the gains, skipping blocks of older runs
// and of songs no longer wanted, and crossing into the next song where its blocks
// begin; the frames copied.
int PlaybackCore::copyFromRing(float* out, int frames) {
    const ChannelGains gains = gainsFromVolume(m_volume.load());
    int got = 0;
    while (got < frames && !m_sourceDone) {
        const FrameRing::Block* block = m_ring->front();
        if (!block)
            break;
        if (!isWanted(*block)) {
            m_ring->release();
            m_blockOffset = 0;
            continue;
        }
        if (block->song != m_renderedSong) {
            m_renderedSong = block->song;
            m_renderedLength = block->songFrames;
        }
        const int n = std::min(frames - got, block->frames - m_blockOffset);
        scaleFrames(block->samples + 2 * m_blockOffset, out + 2 * got, n, gains);
        got += n;
        m_blockOffset += n;
        m_renderedEnd = block->firstFrame + m_blockOffset;
        if (m_blockOffset == block->frames) {
            m_sourceDone = block->last;
            m_ring->release();
            m_blockOffset = 0;
        }
    }
    return got;
}

} // namespace pelto
