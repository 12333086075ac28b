#pragma once

#include "audio/FrameRing.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace pelto {

class PcmSource;

// The ring a song is decoded into: about one second of audio, in blocks of one output
// buffer, in 16-bit samples when the source decodes to 16 bits. The decode thread tops
// it up whenever a quarter is free, so a stall of the disk is not heard while it is
// shorter than three quarters of a second: a 300 ms stall is covered more than twice
// over, which leaves room for a busy machine that is slow to run the thread again
// afterwards. A second costs nothing in response (seek and stop drop what was decoded
// ahead, pause keeps it, volume is applied as it is played) and little memory (350 KB
// at 44.1 kHz, half that in 16 bits).
std::shared_ptr<FrameRing> makeDecodeRing(int rate, bool sixteenBit);

// Reads and decodes the open song ahead of the output, on a thread of its own, into a
// FrameRing; the output only copies from the ring, so a slow disk is not heard. The
// thread owns its worker: a worker given up while a read of it hangs (a dead network
// share) lives on until that read returns, then ends by itself (see DecodeThread).
//
// Threads and locks. The thread that controls playback hands over the source and its
// ring and says where to decode from, under m_lock; those calls return at once and
// never wait for a read in progress. The decode thread takes those requests under
// m_lock and reads, seeks, decodes and closes sources with m_lock released; between
// blocks, so between two reads of the file, it looks for a newer request and drops the
// block it decoded if one came. The consumer (the output thread) never locks: after
// freeing room in the ring it calls roomFreed(), which wakes the decode thread if it
// said it waits for room.
//
// When there is nothing to do (no source, halted, the source at its end, or the ring
// full until a quarter of it is free again) the decode thread sleeps on m_wake.
class DecodeWorker : public std::enable_shared_from_this<DecodeWorker> {
public:
    // A worker with its thread running.
    static std::shared_ptr<DecodeWorker> start();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // Controller: asks the thread to end, dropping whatever it holds once the read in
    // progress (if any) returns; then waits at most `waitMs` for it to have ended.
    // True when it has.
    bool quit(int waitMs);
    // Whether a read, seek or close of a source has been under way for longer than
    // `ms`: the file it reads does not answer.
    bool isStuckFor(int ms) const;

    // Controller: takes over a source and the ring it fills (null and null to let the
    // song go); the previous source is closed on the decode thread. Decoding halts
    // until decodeFrom().
    void setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring);
    // Controller: decodes from a source frame on into blocks tagged `run`; a frame the
    // source cannot go to (past its end) gives an empty last block.
    void decodeFrom(std::int64_t frame, std::uint32_t run);
    // Controller: stops decoding until the next decodeFrom().
    void halt();

    // Consumer: blocks until the decode thread has nothing to do for now (the ring is
    // full or within a quarter of full, the source is at its end, or decoding is
    // halted). For consumers without a device clock: tests and benchmarks.
    void waitUntilAhead();
    // Consumer, from the output thread: room has been freed in `ring`.
    void roomFreed(const FrameRing& ring);

private:
    enum class Order { None, DecodeFrom, Halt };

    DecodeWorker() = default;
    void run();
    // Marks the start and the end of a call into a source, which may wait for the file.
    void beginFileWork();
    void endFileWork();
    bool hasRoomToRefill() const;
    void decodeBlock(std::unique_lock<std::mutex>& lock);
    std::int64_t read(const FrameRing::Block& block, int frames);

    std::mutex m_lock;
    std::condition_variable m_wake;   // the decode thread waits here
    std::condition_variable m_asleep; // waitUntilAhead() waits here
    // Set by the decode thread while it waits for room; read by the consumer, on a cache
    // line away from the lock and the state the decode thread writes for every block.
    alignas(64) std::atomic<bool> m_wantsRoom{false};

    // Requests, under m_lock.
    alignas(64) bool m_quit = false;
    bool m_newSource = false;
    std::unique_ptr<PcmSource> m_pendingSource;
    std::shared_ptr<FrameRing> m_pendingRing;
    std::vector<std::unique_ptr<PcmSource>> m_dropped; // replaced before it was taken
    Order m_order = Order::None;
    std::int64_t m_orderFrame = 0;
    std::uint32_t m_orderRun = 0;

    // The decode thread's state: written by it under m_lock, read under m_lock by
    // waitUntilAhead(); m_source is only used by the decode thread.
    std::unique_ptr<PcmSource> m_source;
    std::shared_ptr<FrameRing> m_ring;
    std::vector<float> m_scratch; // a block as the source reads it, for a 16-bit ring
    bool m_decoding = false;      // a run is being decoded and has not reached the end
    bool m_sleeping = false;
    bool m_seekFailed = false;
    std::int64_t m_nextFrame = 0;
    std::uint32_t m_run = 0;

    bool m_ended = false; // under m_lock; the thread has left run()
    // When the call into a source now under way began (steady clock, ns); 0 when none is.
    std::atomic<std::int64_t> m_fileWorkSince{0};
};

} // namespace pelto
