#pragma once

#include "audio/FrameRing.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <QString>

namespace pelto {

class PcmSource;

// The ring a song is decoded into: about one second of audio, in blocks of one output
// buffer. The decode thread tops it up whenever a quarter is free, so a stall of the
// disk is not heard while it is shorter than three quarters of a second: a 300 ms stall
// is covered more than twice over, which leaves room for a busy machine that is slow to
// run the thread again afterwards. A second costs nothing in response (seek and stop
// drop what was decoded ahead, pause keeps it, volume is applied as it is played) and
// little memory (350 KB at 44.1 kHz).
std::shared_ptr<FrameRing> makeDecodeRing(int rate);

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
//
// Songs joined without a gap. Every source comes with a song number. The controller
// may name the file that follows the current song (setNext); when the song's last
// frame has been read, the thread opens that file and, if it plays at the same rate,
// decodes on into the same ring with the next song's number, so the output crosses
// from one song to the next without a missing frame. The song it left stays open
// until the controller says which of the two it plays: a seek or a start of the old
// song (decodeFrom with its number) goes back to it, as does a new next file named for
// it (the one joined is then dropped: its blocks in the ring carry a number the output
// skips), and the new song's number confirms the join.
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

    // Controller: takes over a source, its song number and the ring it fills (null and
    // null to let the song go); the previous source is closed on the decode thread.
    // Decoding halts until decodeFrom(), and no next file is named.
    void setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring,
                   std::uint32_t song);
    // Controller: the file to go on with after the song numbered `current` (empty for
    // none), under the song number `song`.
    void setNext(const QString& path, std::uint32_t song, std::uint32_t current);
    // Controller: decodes song `song` from a frame on into blocks tagged `run`; a frame
    // the source cannot go to (past its end) gives an empty last block.
    void decodeFrom(std::int64_t frame, std::uint32_t run, std::uint32_t song);
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
    std::unique_ptr<PcmSource> openJoin(const QString& path, float* out, int frames,
                                        std::int64_t& got);
    void crossInto(std::unique_ptr<PcmSource> next, std::uint32_t song, const QString& path);
    // The song the controller plays is `current`: back to the song left at a join, or
    // that song let go.
    void settleJoin(std::uint32_t current, bool restoreNext);

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
    std::uint32_t m_orderSong = 0;
    QString m_nextPath;           // the file to go on with at the end, empty for none
    std::uint32_t m_nextSong = 0; // its song number
    std::uint32_t m_nextFor = 0;  // the song the controller played when it named it
    bool m_nextChanged = false;
    std::uint32_t m_pendingSong = 0;

    // The decode thread's state: written by it under m_lock, read under m_lock by
    // waitUntilAhead(); m_source is only used by the decode thread.
    std::unique_ptr<PcmSource> m_source;
    std::shared_ptr<FrameRing> m_ring;
    std::uint32_t m_song = 0;
    std::int64_t m_songFrames = -1;
    bool m_decoding = false; // a run is being decoded and has not reached the end
    bool m_halted = false;   // the last order was to halt
    bool m_sleeping = false;
    bool m_seekFailed = false;
    std::int64_t m_nextFrame = 0;
    std::uint32_t m_run = 0;
    // The song left at the last join, at its end, until the controller settles it.
    struct LeftSong {
        std::unique_ptr<PcmSource> source;
        std::uint32_t song = 0;
        std::int64_t frames = -1;
        std::int64_t end = 0;
        QString joinedPath; // the file joined after it
    } m_left;

    bool m_ended = false; // under m_lock; the thread has left run()
    // When the call into a source now under way began (steady clock, ns); 0 when none is.
    std::atomic<std::int64_t> m_fileWorkSince{0};
};

} // namespace pelto
