#include "audio/AudioOutput.h"
#include "audio/PlaybackCore.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace pelto {

namespace {

class SilentOutput final : public AudioOutput {
public:
    SilentOutput(PlaybackCore& core, int rate)
        : m_core(core), m_rate(rate), m_frames(bufferFramesFor(rate)),
          m_buffer(size_t(2 * m_frames)), m_thread([this] { run(); }) {}

    ~SilentOutput() override {
        {
            std::lock_guard guard(m_lock);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void lock() override { m_lock.lock(); }
    void unlock() override { m_lock.unlock(); }
    int rate() const override { return m_rate; }
    bool isRunning() const override { return true; }
    std::uint64_t buffersPulled() const override { return m_pulled.load(); }
    void setStoodIn(bool) override {}

private:
    // One buffer per buffer period, timed from the start so that the pace does not
    // drift with the time each render takes.
    void run() {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        std::int64_t rendered = 0;
        std::unique_lock guard(m_lock);
        while (!m_quit) {
            m_core.render(m_buffer.data(), m_frames);
            ++m_pulled;
            rendered += m_frames;
            const auto due = start + std::chrono::microseconds(rendered * 1'000'000 / m_rate);
            m_wake.wait_until(guard, due, [this] { return m_quit; });
        }
    }

    PlaybackCore& m_core;
    const int m_rate;
    const int m_frames;
    std::vector<float> m_buffer;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_quit = false;
    std::atomic<std::uint64_t> m_pulled{0};
    std::thread m_thread;
};

} // namespace

std::unique_ptr<AudioOutput> openSilentOutput(PlaybackCore& core, int rate) {
    return std::make_unique<SilentOutput>(core, rate);
}

} // namespace pelto
