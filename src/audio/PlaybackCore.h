#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace pelto {

class PcmSource;

// The output volume as separate linear gains: the low 16 bits of the value are the
// left channel's level and the high 16 bits the right channel's, each / 65535.
struct ChannelGains {
    float left = 1.0f;
    float right = 1.0f;
};
ChannelGains gainsFromVolume(std::uint32_t leftRight);

// What the output thread plays and what the player sees of it: the open source,
// the play state, the position that has been heard and the volume. An output pulls
// stereo float buffers with render(); every other call that changes the state is
// made while the output is locked, so render() never runs at the same time. The
// state and position are read without a lock.
//
// The position heard is the source frame at the end of the buffer rendered before
// the current one: when an output asks for a buffer, the one before has played.
class PlaybackCore {
public:
    PlaybackCore();
    ~PlaybackCore();

    void setSource(std::unique_ptr<PcmSource> source);
    bool hasSource() const { return bool(m_source); }
    int rate() const { return m_rate.load(); }

    // Plays the source from its beginning.
    void start();
    void stop();
    void pause();
    void resume();
    // Goes on from a whole second; past the end the song ends.
    void seekSeconds(int seconds);

    // 0 stopped or ended, 1 playing, 2 paused; the heard position in whole seconds.
    int state(int& positionSec) const;
    std::int64_t playedFrames() const { return m_playedFrame.load(); }
    void setVolume(std::uint32_t leftRight) { m_volume.store(leftRight); }

    // Fills `frames` stereo frames (2 × frames floats): the next samples times the
    // channel gains while playing, silence otherwise and after the end.
    void render(float* out, int frames);

    // Diagnostics: the longest render() so far, and the frames it had to fill with
    // silence because nothing had been decoded in time.
    std::int64_t longestRenderMicros() const { return m_longestRenderMicros.load(); }
    std::int64_t underrunFrames() const { return m_underrunFrames.load(); }

private:
    void renderPlaying(float* out, int frames);

    std::unique_ptr<PcmSource> m_source;
    std::atomic<int> m_state;
    std::atomic<std::int64_t> m_playedFrame{0};
    std::atomic<int> m_rate{0};
    std::atomic<std::uint32_t> m_volume{0xFFFFFFFFu};
    std::int64_t m_nextFrame = 0;   // source frame the next read returns
    std::int64_t m_renderedEnd = 0; // source frame at the end of the last buffer
    bool m_sourceDone = false;      // the source has nothing more to give
    bool m_lastBufferHadEnd = false;
    std::atomic<std::int64_t> m_longestRenderMicros{0};
    std::atomic<std::int64_t> m_underrunFrames{0};
};

} // namespace pelto
