#pragma once

#include "audio/DecodeThread.h"
#include "audio/Decoder.h"
#include "audio/FrameRing.h"

#include <QString>

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

// What the output thread plays and what the player sees of it: the open source, the
// play state, the position that has been heard and the volume. The source is read and
// decoded ahead on a DecodeThread into a FrameRing; an output pulls stereo float
// buffers with render(), which only copies from the ring and applies the gains.
//
// Threads and locks:
// - The controlling thread calls setSource(), start(), stop(), pause(), resume() and
//   seekSeconds() while the output is locked (or while there is no output), so
//   render() never runs at the same time: the fields marked "output side" below are
//   shared only by render() and those calls. None of them waits for the decode thread.
// - state(), playedFrames(), setVolume() and the diagnostics are atomics: any thread,
//   no lock.
// - The decode thread and render() share only the ring (no lock; see FrameRing and
//   DecodeThread).
//
// The position heard is the source frame at the end of the buffer rendered before the
// current one: when an output asks for a buffer, the one before has played. Frames
// decoded ahead are not heard: a start or a seek drops them, and the position follows
// only what render() has handed out.
//
// Joins. With the file that follows named (setNext), the decode thread goes on into it
// at the end of the song and render() crosses from the one to the other within a
// buffer. From the buffer after the crossing on, the position is the new song's and
// joinedSong() names it, until the controller takes it as the song that plays
// (takeJoined) or does something else with the song it knows: a stop, start or seek of
// it forgets the join (the decode thread goes back to it), and a new source drops it.
// Songs are numbered; blocks of a song that is neither the one rendered nor the next one
// named are left out.
class PlaybackCore {
public:
    PlaybackCore();
    ~PlaybackCore();
    PlaybackCore(const PlaybackCore&) = delete;
    PlaybackCore& operator=(const PlaybackCore&) = delete;

    void setSource(std::unique_ptr<PcmSource> source);
    bool hasSource() const { return bool(m_ring); }
    int rate() const { return m_rate.load(); }

    // Plays the source from its beginning.
    void start();
    void stop();
    void pause();
    void resume();
    // Goes on from a whole second; past the end the song ends.
    void seekSeconds(int seconds);

    // The file to go on with at the end of this song without a gap; empty for none.
    // Ignored once the output has crossed into the next song.
    void setNext(const QString& path);
    // The file the heard audio went on into, while it is not taken; empty otherwise.
    // Controlling thread only.
    QString joinedSong() const;
    // Makes the song joined the current one if it is `path`; false otherwise.
    bool takeJoined(const QString& path);

    // 0 stopped or ended, 1 playing, 2 paused; the heard position in whole seconds.
    PlayState state(int& positionSec) const;
    std::int64_t playedFrames() const { return m_playedFrame.load(); }
    void setVolume(std::uint32_t leftRight) { m_volume.store(leftRight); }

    // Fills `frames` stereo frames (2 × frames floats): the next decoded samples times
    // the channel gains while playing, silence otherwise, after the end, and where
    // nothing has been decoded yet.
    void render(float* out, int frames);
    // For an output without a device clock (tests, benchmarks), on its own thread:
    // whether `frames` frames (or the end of the song) are decoded and waiting, and a
    // wait until the decode thread is as far ahead as it goes for now.
    bool hasDecoded(int frames) const;
    void waitForDecoder() { m_decoder.waitUntilAhead(); }

    // Diagnostics: the longest render() so far, and the frames it had to fill with
    // silence because nothing had been decoded in time.
    std::int64_t longestRenderMicros() const { return m_longestRenderMicros.load(); }
    std::int64_t underrunFrames() const { return m_underrunFrames.load(); }

private:
    void renderPlaying(float* out, int frames);
    void beginRun(std::int64_t frame);
    void forgetJoin();
    bool isWanted(const FrameRing::Block& block) const;
    int copyFromRing(float* out, int frames);

    std::atomic<PlayState> m_state;
    std::atomic<std::int64_t> m_playedFrame{0};
    std::atomic<int> m_rate{0};
    std::atomic<std::uint32_t> m_volume{0xFFFFFFFFu};
    std::atomic<std::int64_t> m_longestRenderMicros{0};
    std::atomic<std::int64_t> m_underrunFrames{0};
    std::atomic<std::uint32_t> m_heardSong{0}; // the song of the position heard

    // Written by the controlling thread (with the output locked), read by render().
    std::uint32_t m_songs = 0;    // song numbers handed out
    std::uint32_t m_song = 0;     // the song the controller plays
    std::uint32_t m_nextSong = 0; // the song named to follow it, 0 for none
    QString m_nextPath;

    // Output side.
    std::shared_ptr<FrameRing> m_ring; // the one the decode thread fills for this source
    std::int64_t m_length = -1;        // frames in the controller's song, -1 when unknown
    std::uint32_t m_renderedSong = 0;  // the song of the last frame rendered
    std::int64_t m_renderedLength = -1;
    std::uint32_t m_run = 0;        // the current start or seek; older blocks are skipped
    int m_blockOffset = 0;          // frames of the oldest block already rendered
    bool m_runStarted = false;      // a frame of the current run has been rendered
    std::int64_t m_renderedEnd = 0; // source frame at the end of the last buffer
    bool m_sourceDone = false;      // the last block of the run has been rendered
    bool m_lastBufferHadEnd = false;

    DecodeThread m_decoder; // last: its thread ends before the rest goes
};

} // namespace pelto
