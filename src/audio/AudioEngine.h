#pragma once

#include "audio/AudioOutput.h"
#include "audio/Decoder.h"
#include "audio/PlaybackCore.h"

#include <memory>

namespace pelto {

// The player's decoder: decodes MPEG audio and Wave files and plays them through
// SDL's audio output, with the volume applied as per-channel gains. Construction
// starts SDL's audio subsystem; the device is opened when a song starts playing and
// closed when it stops or ends, so an idle player holds no device and no thread.
// Where no sound device opens, songs play into a silent output that keeps real
// time, and one line on stderr says so.
//
// All calls come from one thread (the UI thread); the samples are pulled on the
// output's own thread.
class AudioEngine final : public Decoder {
public:
    AudioEngine();
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    bool open(const QString& path) override;
    void play() override;
    void stop() override;
    void pause() override;
    void restart() override;
    void seek(int seconds) override;
    int state(int& positionSec) override;
    FileInfo fileInfo(const QString& path) override;
    void close() override;
    void setVolume(std::uint32_t leftRight) override;

    // The position that has been heard, in milliseconds: finer than state() gives it.
    std::int64_t playedMilliseconds() const;
    // True when the current song plays into the silent output because no device
    // opened.
    bool isSilent() const { return m_silent; }
    // Diagnostics: the longest time the output waited for one buffer, and the frames
    // played as silence because nothing had been decoded in time.
    std::int64_t longestCallbackMicros() const { return m_core.longestRenderMicros(); }
    std::int64_t underrunFrames() const { return m_core.underrunFrames(); }

private:
    template <typename Change> void changeCore(Change change);
    void openOutput();
    void closeOutput();

    PlaybackCore m_core;
    std::unique_ptr<AudioOutput> m_output;
    bool m_sdlStarted = false;
    bool m_silent = false;
    bool m_warned = false; // the silent output has been announced on stderr
};

} // namespace pelto
