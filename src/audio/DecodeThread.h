#pragma once

#include "audio/DecodeWorker.h"

#include <cstdint>
#include <memory>

namespace pelto {

class FrameRing;
class PcmSource;

// The decode thread of the engine, as the controller and the output see it (the
// calls are DecodeWorker's). A read that never returns (a network share gone, a disk
// that hangs) holds up only the worker that made it: the next song is given to a new
// worker, the stuck one is given up and ends by itself if its read ever returns, and
// the end of the program waits for it at most kEndWaitMs.
class DecodeThread {
public:
    // A call into a source that has taken this long is taken to hang.
    static constexpr int kStuckMs = 300;
    // How long the end waits for the thread.
    static constexpr int kEndWaitMs = 1500;

    DecodeThread();
    ~DecodeThread();
    DecodeThread(const DecodeThread&) = delete;
    DecodeThread& operator=(const DecodeThread&) = delete;

    void setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring,
                   std::uint32_t song);
    void setNext(const QString& path, std::uint32_t song, std::uint32_t current) {
        m_worker->setNext(path, song, current);
    }
    void decodeFrom(std::int64_t frame, std::uint32_t run, std::uint32_t song) {
        m_worker->decodeFrom(frame, run, song);
    }
    void halt() { m_worker->halt(); }
    void waitUntilAhead() { m_worker->waitUntilAhead(); }
    void roomFreed(const FrameRing& ring) { m_worker->roomFreed(ring); }

    // How many workers were given up because a read of theirs hung.
    int stuckWorkersLeft() const { return m_stuckWorkersLeft; }

private:
    std::shared_ptr<DecodeWorker> m_worker;
    int m_stuckWorkersLeft = 0;
};

} // namespace pelto
