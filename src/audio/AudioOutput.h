#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace pelto {

class PlaybackCore;

// Something that pulls buffers from a PlaybackCore at the pace of a device. While
// locked, no buffer is being rendered, so the core may be changed.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts pulling buffers; an output opens stopped, so that it never pulls while
    // another one still does.
    virtual void start() {}
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // The sample rate it was opened at.
    virtual int rate() const = 0;
    // False once the device has gone away (unplugged): it pulls no more buffers.
    virtual bool isRunning() const = 0;
    // How many buffers it has asked for: a device that is open but asks for none (a
    // suspended sound server's sink) shows it by this standing still.
    virtual std::uint64_t buffersPulled() const = 0;
    // While set, the buffers it asks for are silence and the core is left alone, so
    // that another output can stand in for it.
    virtual void setStoodIn(bool stoodIn) = 0;
};

// Frames per buffer for a rate: about 20 to 25 ms, so a seek is heard soon and the
// output thread still wakes rarely.
int bufferFramesFor(int rate);

// The sound device through SDL, pulled on SDL's audio thread once started; null when
// no device opens. SDL's audio subsystem must be initialised. Destroying it closes the device,
// waiting at most kDeviceCloseWait for SDL's audio thread.
std::unique_ptr<AudioOutput> openSdlOutput(PlaybackCore& core, int rate);
constexpr std::chrono::milliseconds kDeviceCloseWait{1500};

// True once a device's thread did not end in time and was left behind: SDL's audio
// subsystem must then not be shut down, since that would wait for the thread again.
bool sdlDeviceLeftBehind();

// An output that plays into nothing in real time, on a thread of its own: the
// player keeps running where no sound device can be opened.
std::unique_ptr<AudioOutput> openSilentOutput(PlaybackCore& core, int rate);

} // namespace pelto
