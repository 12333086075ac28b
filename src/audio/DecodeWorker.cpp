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

std::shared_ptr<FrameRing> makeDecodeRing(int rate, bool sixteenBit) {
    const int blockFrames = bufferFramesFor(rate);
    const int blocks = std::max(4, (rate + blockFrames - 1) / blockFrames);
    return std::make_shared<FrameRing>(
        blocks, blockFrames, sixteenBit ? FrameRing::Samples::Int16 : FrameRing::Samples::Float);
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

void DecodeWorker::setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring) {
    {
        std::lock_guard guard(m_lock);
        // A source the thread has not taken yet is closed there too: closing waits for
        // its background reads.
        if (m_pendingSource)
            m_dropped.push_back(std::move(m_pendingSource));
        m_pendingSource = std::move(source);
        m_pendingRing = std::move(ring);
        m_newSource = true;
        m_order = Order::Halt;
    }
    m_wake.notify_one();
}

void DecodeWorker::decodeFrom(std::int64_t frame, std::uint32_t run) {
    {
        std::lock_guard guard(m_lock);
        m_order = Order::DecodeFrom;
        m_orderFrame = frame;
        m_orderRun = run;
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
        return m_quit || (m_sleeping && !m_newSource && m_dropped.empty() &&
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
                m_newSource = false;
                m_decoding = false;
                if (m_ring && m_ring->samples() == FrameRing::Samples::Int16)
                    m_scratch.resize(size_t(2 * m_ring->blockFrames()));
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
        if (m_order != Order::None) {
            const Order order = std::exchange(m_order, Order::None);
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
            return m_quit || m_newSource || !m_dropped.empty() || m_order != Order::None ||
                   hasRoomToRefill();
        });
        m_wantsRoom = false;
        m_sleeping = false;
    }
}

// One block, read and decoded without the lock. A request that came meanwhile makes
// the block unwanted: it is left unpublished.
void DecodeWorker::decodeBlock(std::unique_lock<std::mutex>& lock) {
    FrameRing::Block* block = m_ring->writable();
    const int frames = m_ring->blockFrames();
    lock.unlock();
    beginFileWork();
    const std::int64_t got = m_seekFailed ? 0 : read(*block, frames);
    endFileWork();
    lock.lock();
    if (m_quit || m_newSource || m_order != Order::None)
        return;
    block->run = m_run;
    block->firstFrame = m_nextFrame;
    block->frames = int(std::max<std::int64_t>(got, 0));
    block->last = got <= 0;
    m_ring->publish();
    m_nextFrame += block->frames;
    if (block->last)
        m_decoding = false;
}

std::int64_t DecodeWorker::read(const FrameRing::Block& block, int frames) {
    if (m_ring->samples() == FrameRing::Samples::Float)
        return m_source->read(block.floats(), frames);
    // The source's samples are whole multiples of 1/32768: packed back exactly.
    const std::int64_t got = m_source->read(m_scratch.data(), frames);
    std::int16_t* to = block.shorts();
    for (std::int64_t i = 0; i < 2 * got; ++i)
        to[i] = std::int16_t(m_scratch[size_t(i)] * 32768.0f);
    return got;
}

} // namespace pelto
