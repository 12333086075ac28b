#include "audio/AudioOutput.h"
#include "audio/PlaybackCore.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    SdlOutput(PlaybackCore& core, int rate) : m_core(core), m_rate(rate) {}
    ~SdlOutput() override {
        if (m_device != 0)
            closeDevice(m_device);
    }
    bool open() {
        SDL_AudioSpec want{};
        want.freq = m_rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = Uint16(bufferFramesFor(m_rate));
        want.callback = pull;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to what the device takes, so the callback
        // always sees this exact format.
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        return m_device != 0;
    }
    void start() override { SDL_PauseAudioDevice(m_device, 0); }
    void lock() override { SDL_LockAudioDevice(m_device); }
    void unlock() override { SDL_UnlockAudioDevice(m_device); }
    int rate() const override { return m_rate; }
    bool isRunning() const override {
        return SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PLAYING;
    }
    std::uint64_t buffersPulled() const override { return m_pulled.load(); }
    void setStoodIn(bool stoodIn) override {
        lock();
        m_stoodIn = stoodIn;
        unlock();
    }

private:
    static void pull(void* self, Uint8* stream, int bytes) {
        auto& output = *static_cast<SdlOutput*>(self);
        ++output.m_pulled;
        if (output.m_stoodIn)
            std::memset(stream, 0, size_t(bytes));
        else
            output.m_core.render(reinterpret_cast<float*>(stream), bytes / int(2 * sizeof(float)));
    }

    PlaybackCore& m_core;
    const int m_rate;
    SDL_AudioDeviceID m_device = 0;
    std::atomic<std::uint64_t> m_pulled{0};
    bool m_stoodIn = false; // under the device's lock
};

} // namespace

bool sdlDeviceLeftBehind() {
    return g_deviceLeftBehind;
}

std::unique_ptr<AudioOutput> openSdlOutput(PlaybackCore& core, int rate) {
    auto output = std::make_unique<SdlOutput>(core, rate);
    if (!output->open())
        return nullptr;
    return output;
}

} // namespace pelto
