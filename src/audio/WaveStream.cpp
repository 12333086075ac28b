#include "audio/WaveStream.h"

#include "audio/SpanVirtualIo.h"
#include "common/FileSpan.h"

#include <sndfile.h>

#include <algorithm>

namespace pelto {

namespace {

constexpr std::int64_t kScratchFrames = 4096;

} // namespace

WaveStream::WaveStream() = default;

WaveStream::~WaveStream() {
    close();
}

void WaveStream::close() {
    if (m_file)
        sf_close(m_file);
    m_file = nullptr;
    m_span.reset();
}

bool WaveStream::open(std::unique_ptr<FileSpan> span) {
    close();
    m_span = std::move(span);
    SF_INFO info{};
    m_file = sf_open_virtual(spanVirtualIo(), SFM_READ, &info, m_span.get());
    if (!m_file)
        return false;
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV &&
        (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAVEX) {
        close();
        return false;
    }
    if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) {
        close();
        return false;
    }
    m_rate = info.samplerate;
    m_channels = info.channels;
    m_length = info.frames;
    m_scratch.resize(size_t(kScratchFrames * m_channels));
    return true;
}

std::int64_t WaveStream::read(float* out, std::int64_t frames) {
    if (!m_file)
        return 0;
    if (m_channels == 2) {
        const sf_count_t n = sf_readf_float(m_file, out, frames);
        return std::max<sf_count_t>(0, n);
    }
    std::int64_t total = 0;
    while (total < frames) {
        const sf_count_t n =
            sf_readf_float(m_file, m_scratch.data(), std::min(frames - total, kScratchFrames));
        if (n <= 0)
            break;
        const float* in = m_scratch.data();
        float* to = out + total * 2;
        for (sf_count_t i = 0; i < n; ++i, in += m_channels, to += 2) {
            to[0] = in[0];
            to[1] = m_channels == 1 ? in[0] : in[1];
        }
        total += n;
    }
    return total;
}

bool WaveStream::seek(std::int64_t frame) {
    if (!m_file || frame < 0 || frame >= m_length)
        return false;
    return sf_seek(m_file, frame, SEEK_SET) >= 0;
}

} // namespace pelto
