#include "audio/AudioEngine.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"

#include <SDL.h>

#include <cstdio>

namespace pelto {

AudioEngine::AudioEngine() {
    // The program handles its own termination signals.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_sdlStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

AudioEngine::~AudioEngine() {
    closeOutput();
    m_core.setSource(nullptr);
    if (m_sdlStarted)
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
    const int rate = m_core.rate();
    if (m_output && m_output->rate() == rate)
        return;
    closeOutput();
    // The device is tried again for every song: it may have been busy or away.
    if (m_sdlStarted)
        m_output = openSdlOutput(m_core, rate);
    m_silent = !m_output;
    if (m_silent) {
        if (!m_warned)
            std::fprintf(stderr, "pelto: no audio device could be opened (%s); playing silently\n",
                         m_sdlStarted ? SDL_GetError() : "audio subsystem unavailable");
        m_warned = true;
        m_output = openSilentOutput(m_core, rate);
    }
}

void AudioEngine::closeOutput() {
    m_output.reset();
}

bool AudioEngine::open(const QString& path) {
    closeOutput();
    m_core.setSource(nullptr);
    auto source = std::make_unique<PcmSource>();
    if (!source->open(path))
        return false;
    m_core.setSource(std::move(source));
    return true;
}

void AudioEngine::play() {
    if (!m_core.hasSource())
        return;
    // Start the song before the device runs, so its first buffer is the song's.
    closeOutput();
    m_core.start();
    openOutput();
}

void AudioEngine::stop() {
    m_core.stop();
    closeOutput();
}

void AudioEngine::pause() {
    changeCore([this] { m_core.pause(); });
}

void AudioEngine::restart() {
    changeCore([this] { m_core.resume(); });
}

void AudioEngine::seek(int seconds) {
    changeCore([this, seconds] { m_core.seekSeconds(seconds); });
}

int AudioEngine::state(int& positionSec) {
    const int result = m_core.state(positionSec);
    // After the end the device only plays silence: let it go.
    if (result == StateStopped && m_output)
        closeOutput();
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
    closeOutput();
    m_core.setSource(nullptr);
}

void AudioEngine::setVolume(std::uint32_t leftRight) {
    m_core.setVolume(leftRight);
}

} // namespace pelto
