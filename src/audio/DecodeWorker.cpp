#include "audio/DecodeWorker.h"

#include "audio/AudioOutput.h"
#include "audio/FrameRing.h"
#include "audio/PcmSource.h"

#include <algorithm>
#include <chrono>
#include <pthread.h>
#include <thread>
#include <utility>

namespace pelto {

namespace {

// The ring is topped up when this many of its blocks are free.
int refillBlocks(const FrameRing& ring) {
    return std::max(1, ring.blockCount() / 4);
}

} // namespace

std::shared_ptr<FrameRing> makeDecodeRing(int rate) {
    const int blockFrames = bufferFramesFor(rate);
    const int blocks = std::max(4, (rate + blockFrames - 1) / blockFrames);
    return std::make_shared<FrameRing>(blocks, blockFrames);
}

namespace {

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::shared_ptr<DecodeWorker> DecodeWorker::start() {
    std::shared_ptr<DecodeWorker> worker(new DecodeWorker);
    // The thread holds the worker: whoever gave it up need not wait for it.
    std::thread([self = worker] {
        self->run();
        std::lock_guard guard(self->m_lock);
        self->m_ended = true;
        self->m_asleep.notify_all();
    }).detach();
    return worker;
}

bool DecodeWorker::quit(int waitMs) {
    std::unique_lock lock(m_lock);
    m_quit = true;
    m_wake.notify_all();
    return m_asleep.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_ended; });
}

bool DecodeWorker::isStuckFor(int ms) const {
    const std::int64_t since = m_fileWorkSince.load();
    return since != 0 && steadyNanoseconds() - since > std::int64_t(ms) * 1'000'000;
}

void DecodeWorker::beginFileWork() {
    m_fileWorkSince = steadyNanoseconds();
}

void DecodeWorker::endFileWork() {
    m_fileWorkSince = 0;
}

void DecodeWorker::setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring,
                             std::uint32_t song) {
    {
        std::lock_guard guard(m_lock);
        // A source the thread has not taken yet is closed there too: closing waits for
        // its background reads.
        if (m_pendingSource)
            m_dropped.push_back(std::move(m_pendingSource));
        m_pendingSource = std::move(source);
        m_pendingRing = std::move(ring);
        m_pendingSong = song;
        m_newSource = true;
        m_order = Order::Halt;
        m_nextPath.clear();
        m_nextSong = 0;
        m_nextChanged = false;
    }
    m_wake.notify_one();
}

void DecodeWorker::setNext(const QString& path, std::uint32_t song, std::uint32_t current) {
    {
        std::lock_guard guard(m_lock);
        m_nextPath = path;
        m_nextSong = song;
        m_nextFor = current;
        m_nextChanged = true;
    }
    m_wake.notify_one();
}

void DecodeWorker::decodeFrom(std::int64_t frame, std::uint32_t run, std::uint32_t song) {
    {
        std::lock_guard guard(m_lock);
        m_order = Order::DecodeFrom;
        m_orderFrame = frame;
        m_orderRun = run;
        m_orderSong = song;
    }
    m_wake.notify_one();
}

void DecodeWorker::halt() {
    {
        std::lock_guard guard(m_lock);
        m_order = Order::Halt;
    }
    m_wake.notify_one();
}

void DecodeWorker::waitUntilAhead() {
    std::unique_lock lock(m_lock);
    // A wake from the consumer may have come just before the thread began to wait:
    // this one, under the lock, cannot be missed.
    m_wake.notify_one();
    m_asleep.wait(lock, [this] {
        return m_quit || (m_sleeping && !m_newSource && m_dropped.empty() && !m_nextChanged &&
                          m_order == Order::None && !hasRoomToRefill());
    });
}

void DecodeWorker::roomFreed(const FrameRing& ring) {
    // The consumer has released blocks before it reads the flag, and the decode thread
    // sets the flag before it looks at the room: one of the two sees the other. A wake
    // sent just before the thread begins to wait is lost, but the next buffer's call
    // sends it again while the flag stays set.
    if (ring.freeBlocks() >= refillBlocks(ring) && m_wantsRoom.load())
        m_wake.notify_one();
}

bool DecodeWorker::hasRoomToRefill() const {
    return m_decoding && m_ring->freeBlocks() >= refillBlocks(*m_ring);
}

void DecodeWorker::run() {
    pthread_setname_np(pthread_self(), "pelto-decode");
    std::unique_lock lock(m_lock);
    while (!m_quit) {
        if (m_newSource || !m_dropped.empty()) {
            auto dropped = std::move(m_dropped);
            m_dropped.clear();
            std::unique_ptr<PcmSource> oldSource;
            std::shared_ptr<FrameRing> oldRing;
            if (m_newSource) {
                oldSource = std::exchange(m_source, std::move(m_pendingSource));
                oldRing = std::exchange(m_ring, std::move(m_pendingRing));
                if (m_left.source)
                    dropped.push_back(std::move(m_left.source));
                m_left = {};
                m_song = m_pendingSong;
                m_songFrames = m_source ? m_source->lengthFrames() : -1;
                m_newSource = false;
                m_decoding = false;
            }
            lock.unlock();
            beginFileWork();
            oldSource.reset();
            oldRing.reset();
            dropped.clear();
            endFileWork();
            lock.lock();
            continue;
        }
        if (m_nextChanged) {
            m_nextChanged = false;
            settleJoin(m_nextFor, false);
            continue;
        }
        if (m_order != Order::None) {
            const Order order = std::exchange(m_order, Order::None);
            if (order == Order::DecodeFrom)
                settleJoin(m_orderSong, true);
            m_halted = order == Order::Halt;
            m_decoding = order == Order::DecodeFrom && m_source && m_ring;
            if (!m_decoding)
                continue;
            m_run = m_orderRun;
            m_nextFrame = m_orderFrame;
            lock.unlock();
            beginFileWork();
            const bool found = m_source->seekFrame(m_nextFrame);
            endFileWork();
            lock.lock();
            m_seekFailed = !found;
            continue;
        }
        if (m_decoding && m_ring->freeBlocks() > 0) {
            decodeBlock(lock);
            continue;
        }
        m_sleeping = true;
        m_wantsRoom = m_decoding; // so the ring is full
        m_asleep.notify_all();
        m_wake.wait(lock, [this] {
            return m_quit || m_newSource || !m_dropped.empty() || m_nextChanged ||
                   m_order != Order::None || hasRoomToRefill();
        });
        m_wantsRoom = false;
        m_sleeping = false;
    }
}

// After a join, the song the controller plays decides: the song left (it was sought or
// started again, or another file was named to follow it) is taken back, and the one
// joined dropped; the song joined (the controller went on with it) lets the left one go.
void DecodeWorker::settleJoin(std::uint32_t current, bool restoreNext) {
    if (!m_left.source)
        return;
    if (current == m_song) {
        m_dropped.push_back(std::move(m_left.source));
        m_left = {};
        return;
    }
    if (current != m_left.song)
        return;
    m_dropped.push_back(std::exchange(m_source, std::move(m_left.source)));
    if (restoreNext) {
        m_nextPath = m_left.joinedPath;
        m_nextSong = m_song;
    }
    m_song = m_left.song;
    m_songFrames = m_left.frames;
    m_nextFrame = m_left.end;
    m_left = {};
    // At its end: reading on finds the end again, and joins the next file or ends.
    m_seekFailed = false;
    m_decoding = !m_halted && m_ring;
}

// One block, read and decoded without the lock. A request that came meanwhile makes
// the block unwanted: it is left unpublished. At the end of the song, the next file
// named is opened and the block filled from it.
void DecodeWorker::decodeBlock(std::unique_lock<std::mutex>& lock) {
    FrameRing::Block* block = m_ring->writable();
    const int frames = m_ring->blockFrames();
    const QString nextPath = m_nextPath;
    const std::uint32_t nextSong = m_nextSong;
    lock.unlock();
    beginFileWork();
    std::int64_t got = m_seekFailed ? 0 : m_source->read(block->samples, frames);
    const bool atEnd = got <= 0;
    std::unique_ptr<PcmSource> joined;
    if (atEnd && !nextPath.isEmpty())
        joined = openJoin(nextPath, block->samples, frames, got);
    endFileWork();
    lock.lock();
    const bool nextChanged = atEnd && !nextPath.isEmpty() && nextSong != m_nextSong;
    if (m_quit || m_newSource || m_order != Order::None || nextChanged) {
        // The source is at its end or read on: a later block finds the end again.
        if (joined)
            m_dropped.push_back(std::move(joined));
        return;
    }
    if (joined) {
        crossInto(std::move(joined), nextSong, nextPath);
    } else if (atEnd) {
        // The next file does not join (it does not open, or plays at another rate):
        // the song ends here, and the player opens what follows the usual way.
        m_nextPath.clear();
        m_nextSong = 0;
    }
    block->run = m_run;
    block->song = m_song;
    block->songFrames = m_songFrames;
    block->firstFrame = m_nextFrame;
    block->frames = int(std::max<std::int64_t>(got, 0));
    block->last = got <= 0;
    m_ring->publish();
    m_nextFrame += block->frames;
    if (block->last)
        m_decoding = false;
}

// Opens the file that follows and reads the first block from it; null when it does
// not open, plays at another rate than the song that ends, or yields nothing.
std::unique_ptr<PcmSource> DecodeWorker::openJoin(const QString& path, float* out, int frames,
                                                  std::int64_t& got) {
    auto next = std::make_unique<PcmSource>();
    if (!next->open(path) || next->rate() != m_source->rate())
        return nullptr;
    got = next->read(out, frames);
    if (got <= 0) {
        got = 0;
        return nullptr;
    }
    return next;
}

void DecodeWorker::crossInto(std::unique_ptr<PcmSource> next, std::uint32_t song,
                             const QString& path) {
    if (m_left.source)
        m_dropped.push_back(std::move(m_left.source));
    m_left = {std::exchange(m_source, std::move(next)), m_song, m_songFrames, m_nextFrame, path};
    m_song = song;
    m_songFrames = m_source->lengthFrames();
    m_nextFrame = 0;
    m_nextPath.clear();
    m_nextSong = 0;
}

} // namespace pelto
