#include "audio/AudioEngine.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"

#include <QAbstractEventDispatcher>

#include <SDL.h>

#include <cstdio>

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
}

AudioEngine::~AudioEngine() {
    closeOutput();
    if (m_sdlStarted && !sdlDeviceLeftBehind())
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

template <typename Change> void AudioEngine::changeCore(Change change) {
    if (!m_output) {
        change();
        return;
    }
    m_output->lock();
    change();
    m_output->unlock();
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
    }
}

void AudioEngine::closeOutput() {
    m_idleClose.stop();
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

void AudioEngine::setVolume(std::uint32_t leftRight) {
    m_core.setVolume(leftRight);
}

} // namespace pelto
