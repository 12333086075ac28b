#include "audio/AudioOutput.h"
#include "audio/PlaybackCore.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>
#include <unistd.h>

namespace pelto {

namespace {

std::atomic<bool> g_deviceLeftBehind{false};

// Once a device is left behind, the end of the process must not wait for its thread
// either: exit() flushes every C stream, and a driver that writes through one (SDL's
// disk driver) blocks there for good. Registered when the first device is left
// behind, after every handler of the libraries, this runs first at exit and ends the
// process with the same status. The program's files were written and flushed to the
// disk during the unload, before the device was closed.
void endAtOnce(int status, void*) {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

// SDL_CloseAudioDevice waits for SDL's audio thread to end, and that thread may be
// stuck for ever in the driver (a write to a dead sound server or a pipe nobody
// reads). The close runs on a helper thread; when it has not ended in time, the device
// and both threads are left behind, so that the program still ends. Paused first (the
// callback runs under the device's lock, which the pause takes), the device never calls
// back into the player again, whatever its thread does later.
void closeDevice(SDL_AudioDeviceID device) {
    SDL_PauseAudioDevice(device, 1);
    auto closed = std::make_shared<std::promise<void>>();
    std::future<void> done = closed->get_future();
    std::thread([device, closed] {
        SDL_CloseAudioDevice(device);
        closed->set_value();
    }).detach();
    if (done.wait_for(kDeviceCloseWait) == std::future_status::ready)
        return;
    if (!g_deviceLeftBehind.exchange(true))
        ::on_exit(endAtOnce, nullptr);
    std::fprintf(stderr, "Pelto: the sound device did not close within %lld ms; left behind\n",
                 static_cast<long long>(kDeviceCloseWait.count()));
}

class SdlOutput final : public AudioOutput {
public:
    SdlOutput(SDL_AudioDeviceID device, int rate) : m_device(device), m_rate(rate) {}
    ~SdlOutput() override { closeDevice(m_device); }
    void lock() override { SDL_LockAudioDevice(m_device); }
    void unlock() override { SDL_UnlockAudioDevice(m_device); }
    int rate() const override { return m_rate; }
    bool isRunning() const override {
        return SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PLAYING;
    }

private:
    SDL_AudioDeviceID m_device;
    int m_rate;
};

void pull(void* core, Uint8* stream, int bytes) {
    static_cast<PlaybackCore*>(core)->render(reinterpret_cast<float*>(stream),
                                             bytes / int(2 * sizeof(float)));
}

} // namespace

bool sdlDeviceLeftBehind() {
    return g_deviceLeftBehind;
}

std::unique_ptr<AudioOutput> openSdlOutput(PlaybackCore& core, int rate) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = Uint16(bufferFramesFor(rate));
    want.callback = pull;
    want.userdata = &core;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to what the device takes, so the callback
    // always sees this exact format.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0)
        return nullptr;
    SDL_PauseAudioDevice(device, 0);
    return std::make_unique<SdlOutput>(device, rate);
}

} // namespace pelto
