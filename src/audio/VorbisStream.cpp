#include "audio/VorbisStream.h"

#include "common/FileSpan.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace pelto {

struct VorbisStream::File {
    OggVorbis_File vf{};
    std::vector<float> interleaved;
};

namespace {

size_t spanRead(void* buffer, size_t size, size_t count, void* span) {
    const std::int64_t got = static_cast<FileSpan*>(span)->read(buffer, std::int64_t(size * count));
    return got > 0 ? size_t(got) / std::max<size_t>(size, 1) : 0;
}

int spanSeek(void* span, ogg_int64_t offset, int whence) {
    return static_cast<FileSpan*>(span)->seek(offset, whence) < 0 ? -1 : 0;
}

long spanTell(void* span) {
    return long(static_cast<FileSpan*>(span)->seek(0, SEEK_CUR));
}

// Holes (a lost or damaged page) are skipped; this many in a row end the stream.
constexpr int kMaxHoles = 1000;

} // namespace

VorbisStream::VorbisStream() = default;

VorbisStream::~VorbisStream() {
    close();
}

void VorbisStream::close() {
    if (m_file)
        ov_clear(&m_file->vf);
    m_file.reset();
    m_span.reset();
}

bool VorbisStream::open(std::unique_ptr<FileSpan> span) {
    close();
    m_span = std::move(span);
    auto file = std::make_unique<File>();
    const ov_callbacks callbacks = {spanRead, spanSeek, nullptr, spanTell};
    if (ov_open_callbacks(m_span.get(), &file->vf, nullptr, 0, callbacks) != 0) {
        m_span.reset();
        return false;
    }
    m_file = std::move(file);
    const vorbis_info* first = ov_info(&m_file->vf, 0);
    if (!first || first->rate <= 0 || first->channels <= 0) {
        close();
        return false;
    }
    m_rate = int(first->rate);
    // The links at the first one's rate, up to the first at another.
    m_length = 0;
    for (long link = 0; link < ov_streams(&m_file->vf); ++link) {
        const vorbis_info* info = ov_info(&m_file->vf, int(link));
        const ogg_int64_t frames = ov_pcm_total(&m_file->vf, int(link));
        if (!info || info->rate != first->rate || frames < 0)
            break;
        m_length += frames;
    }
    if (m_length <= 0) {
        close();
        return false;
    }
    m_position = 0;
    m_link = -1;
    return true;
}

std::int64_t VorbisStream::read(float* out, std::int64_t frames) {
    if (!m_file)
        return 0;
    frames = std::min(frames, m_length - m_position);
    std::int64_t total = 0;
    int holes = 0;
    while (total < frames) {
        float** pcm = nullptr;
        int link = 0;
        const long n = ov_read_float(&m_file->vf, &pcm,
                                     int(std::min<std::int64_t>(frames - total, 4096)), &link);
        if (n == OV_HOLE && ++holes < kMaxHoles)
            continue;
        if (n <= 0)
            break;
        holes = 0;
        if (link != m_link) {
            const vorbis_info* info = ov_info(&m_file->vf, link);
            if (!info || info->rate != m_rate)
                break;
            m_link = link;
            m_mix = StereoMix(info->channels, ChannelOrder::Vorbis);
        }
        const int channels = m_mix.channels();
        float* to = out + 2 * total;
        if (channels <= 2) {
            for (long i = 0; i < n; ++i) {
                to[2 * i] = pcm[0][i];
                to[2 * i + 1] = pcm[channels - 1][i];
            }
        } else {
            std::vector<float>& frame = m_file->interleaved;
            frame.resize(size_t(n) * size_t(channels));
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    frame[size_t(i) * size_t(channels) + size_t(c)] = pcm[c][i];
            m_mix.apply(frame.data(), to, n);
        }
        total += n;
    }
    m_position += total;
    return total;
}

bool VorbisStream::seek(std::int64_t frame) {
    if (!m_file || frame < 0 || frame >= m_length)
        return false;
    if (ov_pcm_seek(&m_file->vf, frame) != 0)
        return false;
    m_position = frame;
    return true;
}

} // namespace pelto
