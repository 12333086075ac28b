#include "audio/AudioOutput.h"
#include "audio/PlaybackCore.h"

#include <SDL.h>

namespace pelto {

namespace {

class SdlOutput final : public AudioOutput {
public:
    SdlOutput(SDL_AudioDeviceID device, int rate) : m_device(device), m_rate(rate) {}
    ~SdlOutput() override { SDL_CloseAudioDevice(m_device); }
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
