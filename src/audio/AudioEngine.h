#pragma once

#include "audio/AudioOutput.h"
#include "audio/Decoder.h"
#include "audio/PlaybackCore.h"

#include <QTimer>

#include <chrono>
#include <memory>

namespace pelto {

// The player's decoder: decodes MPEG audio and Wave files and plays them through
// SDL's audio output, with the volume applied as per-channel gains. Construction
// starts SDL's audio subsystem. Where no sound device opens, songs play into a silent
// output that keeps real time, and one line on stderr says so.
//
// Threads: all calls come from one thread (the UI thread). A decode thread reads and
// decodes about a second ahead (PlaybackCore, DecodeThread), and the output's thread
// (SDL's audio thread, or the silent output's) only copies what was decoded. Every call
// that changes what plays takes the output's lock, the one the output thread holds
// while it renders a buffer; none of them waits for the decode thread, so a read
// stalled on a slow disk never holds up the UI (only destruction waits for it to end;
// open() reads the head of the new file itself, to tell whether it plays). Closing
// the device waits a bounded time for SDL's audio thread (kDeviceCloseWait), so a
// device stuck in its driver never keeps the program from ending.
//
// Joins: the file named by setNextSong() is opened by the decode thread at the end of
// the song and, at the same rate, played on into without a gap (see PlaybackCore).
//
// The device: play() opens it, and it stays open from song to song while the rate
// stays the same. Once nothing plays (stopped, ended, paused, or no song) it is closed
// after kIdleDeviceLinger, unless playing goes on before: the next song of a playlist
// starts within that time and finds the device open, and an idle player holds no device
// and no output thread that wakes for every buffer. The close is timed on the calling
// thread's event loop; without one it happens at once.
class AudioEngine final : public Decoder {
public:
    AudioEngine();
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    bool open(const QString& path) override;
    QString openFailure() const override { return m_openFailure; }
    void play() override;
    void stop() override;
    void pause() override;
    void restart() override;
    void seek(int seconds) override;
    PlayState state(int& positionSec) override;
    FileInfo fileInfo(const QString& path) override;
    void close() override;
    void setNextSong(const QString& path) override;
    QString joinedSong() const override { return m_core.joinedSong(); }
    bool takeJoined(const QString& path) override;
    void setVolume(std::uint32_t leftRight) override;

    // The position that has been heard, in milliseconds: finer than state() gives it.
    std::int64_t playedMilliseconds() const override;
    // True when the current song plays into the silent output because no device
    // opened.
    bool isSilent() const { return m_silent; }
    // Diagnostics: the longest time the output thread spent on one buffer, and the
    // frames played as silence because nothing had been decoded in time.
    std::int64_t longestCallbackMicros() const { return m_core.longestRenderMicros(); }
    std::int64_t underrunFrames() const { return m_core.underrunFrames(); }

    // How long the device stays open once nothing plays.
    static constexpr std::chrono::milliseconds kIdleDeviceLinger{1000};
    // How often an open device is checked for having gone away, and how long the
    // silent output waits before it tries the default device again: the first wait,
    // doubled after each failed try up to the last.
    static constexpr std::chrono::milliseconds kDeviceWatchInterval{250};
    static constexpr std::chrono::milliseconds kFirstDeviceRetry{250};
    static constexpr std::chrono::milliseconds kLastDeviceRetry{2000};
    // How long an open device may ask for no buffer while a song plays before a
    // silent output keeps its time.
    static constexpr std::chrono::milliseconds kStalledDevice{500};
    // How long a device stood in for may go on asking for nothing before it is closed
    // and the default device opened again: a driver that does not notice its server
    // went away (SDL's pipewire driver) leaves a device that never asks again.
    static constexpr std::chrono::milliseconds kReopenStalledDevice{2000};

private:
    template <typename Change> void changeCore(Change change);
    void openOutput();
    void closeOutput();
    void closeOutputWhenIdle();
    void watchTheDevice();
    void retryDeviceLater();
    void watchDevice();
    void watchDevicePace();
    void loseDevice(const char* message);
    void retryDevice();

    PlaybackCore m_core;
    QString m_openFailure;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<AudioOutput> m_standIn; // plays while the open device takes nothing
    std::uint64_t m_lastPulled = 0;
    int m_stillWatches = 0;
    QTimer m_idleClose;
    QTimer m_deviceWatch;
    QTimer m_deviceRetry;
    std::chrono::milliseconds m_retryDelay = kFirstDeviceRetry;
    bool m_sdlStarted = false;
    bool m_silent = false;
    bool m_warned = false;      // playing silently has been announced on stderr
    bool m_stallWarned = false; // a device that takes no sound has been announced
};

} // namespace pelto
