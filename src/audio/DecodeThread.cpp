#include "audio/DecodeThread.h"

#include "audio/PcmSource.h"

#include <cstdio>

namespace pelto {

DecodeThread::DecodeThread() : m_worker(DecodeWorker::start()) {}

DecodeThread::~DecodeThread() {
    if (!m_worker->quit(kEndWaitMs))
        std::fputs("Pelto: a read of a song does not return; ending without waiting for it\n",
                   stderr);
}

void DecodeThread::setSource(std::unique_ptr<PcmSource> source, std::shared_ptr<FrameRing> ring,
                             std::uint32_t song) {
    if (m_worker->isStuckFor(kStuckMs)) {
        // The worker waits for a file that does not answer: the next song goes to a
        // new one, and the old one ends whenever its read returns.
        m_worker->quit(0);
        m_worker = DecodeWorker::start();
        ++m_stuckWorkersLeft;
    }
    m_worker->setSource(std::move(source), std::move(ring), song);
}

} // namespace pelto
