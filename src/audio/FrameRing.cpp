#include "audio/FrameRing.h"

#include <algorithm>

namespace pelto {

FrameRing::FrameRing(int blocks, int blockFrames)
    : m_blockFrames(blockFrames), m_blocks(size_t(blocks)) {
    const size_t blockSamples = size_t(2 * blockFrames);
    m_samples.reset(new float[blockSamples * size_t(blocks)]);
    for (size_t i = 0; i < m_blocks.size(); ++i)
        m_blocks[i].samples = m_samples.get() + i * blockSamples;
}

int FrameRing::freeBlocks() const {
    // Exact for the producer and the consumer, whose own count does not move meanwhile.
    const auto released = std::int64_t(m_released.load());
    const auto queued = std::int64_t(m_published.load()) - released;
    return blockCount() - int(std::clamp<std::int64_t>(queued, 0, blockCount()));
}

FrameRing::Block* FrameRing::writable() {
    const std::uint64_t published = m_published.load(std::memory_order_relaxed);
    if (published - m_released.load() >= m_blocks.size())
        return nullptr;
    return &at(published);
}

void FrameRing::publish() {
    m_published.fetch_add(1);
}

const FrameRing::Block* FrameRing::front(int ahead) const {
    const std::uint64_t index = m_released.load(std::memory_order_relaxed) + std::uint64_t(ahead);
    if (index >= m_published.load())
        return nullptr;
    return &m_blocks[size_t(index % m_blocks.size())];
}

void FrameRing::release() {
    m_released.fetch_add(1);
}

void FrameRing::releaseAll() {
    m_released.store(m_published.load());
}

} // namespace pelto
