#include "audio/AudioEngine.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"

#include <QAbstractEventDispatcher>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace pelto {

AudioEngine::AudioEngine() {
    // The program handles its own termination signals.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_sdlStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    m_idleClose.setSingleShot(true);
    m_idleClose.setInterval(kIdleDeviceLinger);
    QObject::connect(&m_idleClose, &QTimer::timeout, [this] {
        int position = 0;
        if (m_core.state(position) != PlayState::Playing)
            closeOutput();
    });
    m_deviceWatch.setInterval(kDeviceWatchInterval);
    QObject::connect(&m_deviceWatch, &QTimer::timeout, [this] { watchDevice(); });
    m_deviceRetry.setSingleShot(true);
    QObject::connect(&m_deviceRetry, &QTimer::timeout, [this] { retryDevice(); });
}

AudioEngine::~AudioEngine() {
    closeOutput();
    if (m_sdlStarted && !sdlDeviceLeftBehind())
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

template <typename Change> void AudioEngine::changeCore(Change change) {
    // The output that plays the core: the stand-in while there is one.
    AudioOutput* playing = m_standIn ? m_standIn.get() : m_output.get();
    if (!playing) {
        change();
        return;
    }
    playing->lock();
    change();
    playing->unlock();
}

void AudioEngine::openOutput() {
    if (m_output)
        return;
    const int rate = m_core.rate();
    if (m_sdlStarted)
        m_output = openSdlOutput(m_core, rate);
    m_silent = !m_output;
    if (m_silent) {
        if (!m_warned)
            std::fprintf(stderr, "Pelto: no audio device could be opened (%s); playing silently\n",
                         m_sdlStarted ? SDL_GetError() : "audio subsystem unavailable");
        m_warned = true;
        m_output = openSilentOutput(m_core, rate);
        retryDeviceLater();
    } else {
        watchTheDevice();
    }
    m_output->start();
}

void AudioEngine::watchTheDevice() {
    m_retryDelay = kFirstDeviceRetry;
    m_lastPulled = m_output ? m_output->buffersPulled() : 0;
    m_stillWatches = 0;
    m_deviceRetry.stop();
    if (QAbstractEventDispatcher::instance())
        m_deviceWatch.start();
}

void AudioEngine::retryDeviceLater() {
    m_deviceWatch.stop();
    if (!m_sdlStarted || !QAbstractEventDispatcher::instance())
        return;
    m_deviceRetry.start(m_retryDelay);
    m_retryDelay = std::min(m_retryDelay * 2, kLastDeviceRetry);
}

// A device that went away (a sound server ended, a headset unplugged) stops pulling
// buffers: the song goes on into the silent output, keeping its time, until a device
// opens again.
void AudioEngine::watchDevice() {
    if (!m_output || m_silent)
        return;
    if (m_output->isRunning()) {
        watchDevicePace();
        return;
    }
    loseDevice("Pelto: the sound device went away; playing silently until it is back\n");
}

// The song goes on into the silent output, and the default device is tried again.
// `message` is said unless silence or a stalled device was announced already.
void AudioEngine::loseDevice(const char* message) {
    if (!m_warned && !m_stallWarned)
        std::fputs(message, stderr);
    m_warned = !m_stallWarned;
    const int rate = m_output->rate();
    m_standIn.reset();
    m_output.reset();
    m_output = openSilentOutput(m_core, rate);
    m_silent = true;
    m_output->start();
    retryDeviceLater();
}

// A device that stays open but asks for no buffer (its sink suspended) would stop the
// song's time: a silent output stands in for it, and steps back as soon as the device
// asks for buffers again. One that asks for nothing for kReopenStalledDevice is closed
// and opened anew, as when it went away; while it stays that way stderr hears of it
// once.
void AudioEngine::watchDevicePace() {
    const std::uint64_t pulled = m_output->buffersPulled();
    const bool still = pulled == m_lastPulled;
    m_lastPulled = pulled;
    if (!still) {
        m_stillWatches = 0;
        if (m_standIn) {
            m_standIn.reset();
            m_output->setStoodIn(false);
        }
        if (std::exchange(m_stallWarned, false))
            std::fputs("Pelto: the sound device takes sound again\n", stderr);
        return;
    }
    if (m_standIn) {
        if (++m_stillWatches * kDeviceWatchInterval >= kReopenStalledDevice)
            loseDevice("");
        return;
    }
    int position = 0;
    m_stillWatches = m_core.state(position) == PlayState::Playing ? m_stillWatches + 1 : 0;
    if (m_stillWatches * kDeviceWatchInterval < kStalledDevice)
        return;
    m_stillWatches = 0;
    if (!std::exchange(m_stallWarned, true))
        std::fputs("Pelto: the sound device takes no sound; playing silently meanwhile\n", stderr);
    m_output->setStoodIn(true);
    m_standIn = openSilentOutput(m_core, m_output->rate());
    m_standIn->start();
}

void AudioEngine::retryDevice() {
    if (!m_output || !m_silent)
        return;
    std::unique_ptr<AudioOutput> device = openSdlOutput(m_core, m_output->rate());
    if (!device) {
        retryDeviceLater();
        return;
    }
    // The silent output ends before the device starts: one output pulls at a time.
    m_output = std::move(device);
    m_silent = false;
    m_output->start();
    if (m_warned)
        std::fputs("Pelto: the sound device is back\n", stderr);
    m_warned = false;
    watchTheDevice();
}

void AudioEngine::closeOutput() {
    m_idleClose.stop();
    m_deviceWatch.stop();
    m_deviceRetry.stop();
    m_standIn.reset();
    m_output.reset();
}

void AudioEngine::closeOutputWhenIdle() {
    if (!m_output || m_idleClose.isActive())
        return;
    if (QAbstractEventDispatcher::instance())
        m_idleClose.start();
    else
        closeOutput();
}

bool AudioEngine::open(const QString& path) {
    // The file is opened before the song that plays is let go, so the device keeps
    // running from one song to the next.
    auto source = std::make_unique<PcmSource>();
    m_openFailure.clear();
    if (!source->open(path)) {
        m_openFailure = source->openFailure();
        source.reset();
    }
    const bool opened = bool(source);
    changeCore([&] { m_core.setSource(std::move(source)); });
    closeOutputWhenIdle();
    return opened;
}

void AudioEngine::play() {
    if (!m_core.hasSource())
        return;
    // A device at another rate, or the silent output (the device may be back), is
    // replaced. The song starts before a new device runs, so that its first buffers
    // find decoded frames.
    if (m_output &&
        ((m_silent && m_sdlStarted) || m_output->rate() != m_core.rate() || !m_output->isRunning()))
        closeOutput();
    m_idleClose.stop();
    changeCore([this] { m_core.start(); });
    openOutput();
}

void AudioEngine::stop() {
    changeCore([this] { m_core.stop(); });
    closeOutputWhenIdle();
}

void AudioEngine::pause() {
    changeCore([this] { m_core.pause(); });
    closeOutputWhenIdle();
}

void AudioEngine::restart() {
    changeCore([this] { m_core.resume(); });
    int position = 0;
    if (m_core.state(position) == PlayState::Playing) {
        m_idleClose.stop();
        openOutput();
    }
}

void AudioEngine::seek(int seconds) {
    changeCore([this, seconds] { m_core.seekSeconds(seconds); });
    int position = 0;
    if (m_core.state(position) == PlayState::Stopped)
        closeOutputWhenIdle();
}

PlayState AudioEngine::state(int& positionSec) {
    const PlayState result = m_core.state(positionSec);
    if (result != PlayState::Playing)
        closeOutputWhenIdle();
    return result;
}

std::int64_t AudioEngine::playedMilliseconds() const {
    const int rate = m_core.rate();
    return rate > 0 ? m_core.playedFrames() * 1000 / rate : 0;
}

FileInfo AudioEngine::fileInfo(const QString& path) {
    return readFileInfo(path);
}

void AudioEngine::close() {
    changeCore([this] { m_core.setSource(nullptr); });
    closeOutputWhenIdle();
}

void AudioEngine::setNextSong(const QString& path) {
    changeCore([&] { m_core.setNext(path); });
}

bool AudioEngine::takeJoined(const QString& path) {
    bool taken = false;
    changeCore([&] { taken = m_core.takeJoined(path); });
    return taken;
}

void AudioEngine::setVolume(std::uint32_t leftRight) {
    m_core.setVolume(leftRight);
}

} // namespace pelto
