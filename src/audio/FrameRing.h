#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pelto {

// Decoded audio on its way from the decode thread to the output: a fixed number of
// blocks of stereo float frames, passed from one producer to one consumer without
// locks. Each block says where its frames come from: the run of decoding (a start or a
// seek) it belongs to, the song (a ring carries one song into the next across a join)
// and the song's frame it begins at, so the consumer can skip what an older run left
// behind and knows the song and position of every frame.
//
// The producer fills writable() and publish()es it; the consumer reads front() and
// release()s it. Each role is held by one thread at a time. The consumer's role may
// pass from thread to thread (the output thread, or the thread that controls playback
// while it holds the output's lock) when the hand-over itself synchronises.
class FrameRing {
public:
    // Each on cache lines of its own, as are the two counts below: the producer writes
    // one while the consumer reads the next, and neither should slow the other down.
    struct alignas(64) Block {
        std::uint32_t run = 0;        // the start or seek these frames were decoded for
        std::uint32_t song = 0;       // the song they belong to
        std::int64_t songFrames = -1; // that song's length in frames, -1 when unknown
        std::int64_t firstFrame = 0;  // song frame of the first frame
        int frames = 0;               // frames held, at most blockFrames()
        bool last = false;            // the song ends after these frames
        float* samples = nullptr;     // 2 × blockFrames() samples, left and right
    };

    FrameRing(int blocks, int blockFrames);
    FrameRing(const FrameRing&) = delete;
    FrameRing& operator=(const FrameRing&) = delete;

    int blockCount() const { return int(m_blocks.size()); }
    int blockFrames() const { return m_blockFrames; }
    // Blocks the producer may fill now; either side may ask.
    int freeBlocks() const;

    // Producer: the block to fill next, null while the ring is full; publish() passes it
    // to the consumer.
    Block* writable();
    void publish();

    // Consumer: the published block `ahead` places after the oldest (0 = the oldest),
    // null when there is none; release() frees the oldest, releaseAll() every one
    // published.
    const Block* front(int ahead = 0) const;
    void release();
    void releaseAll();

private:
    Block& at(std::uint64_t index) { return m_blocks[size_t(index % m_blocks.size())]; }

    const int m_blockFrames;
    std::unique_ptr<float[]> m_samples; // left unset: every frame is written before it is read
    std::vector<Block> m_blocks;
    // Blocks published and released since the start. Sequentially consistent, so that a
    // producer announcing it waits for room and a consumer freeing room cannot both
    // miss each other (see DecodeThread).
    alignas(64) std::atomic<std::uint64_t> m_published{0};
    alignas(64) std::atomic<std::uint64_t> m_released{0};
};

} // namespace pelto
