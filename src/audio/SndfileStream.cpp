#include "audio/SndfileStream.h"

#include "audio/SpanVirtualIo.h"
#include "common/FileSpan.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace pelto {

namespace {

constexpr std::int64_t kScratchFrames = 4096;
constexpr int kMaxChannels = 8; // FLAC's own limit, and of Opus's defined layouts
constexpr int kOpusRate = 48000;

} // namespace

SndfileStream::SndfileStream() = default;

SndfileStream::~SndfileStream() {
    closeFile();
}

void SndfileStream::closeFile() {
    if (m_file)
        sf_close(m_file);
    m_file = nullptr;
}

bool SndfileStream::openFile() {
    closeFile();
    if (!m_span || m_span->seek(0, SEEK_SET) != 0)
        return false;
    SF_INFO info{};
    m_file = sf_open_virtual(spanVirtualIo(), SFM_READ, &info, m_span.get());
    if (!m_file)
        return false;
    const bool wanted = m_format == Format::Flac
                            ? (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC
                            : (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG &&
                                  (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS;
    if (wanted && m_format == Format::Opus && info.samplerate != kOpusRate) {
        // Opus decodes at any of its rates; 48 kHz is its own. Asked before the first
        // read, libsndfile sets its decoder to it and counts the frames anew.
        int rate = kOpusRate;
        if (!sf_command(m_file, SFC_SET_ORIGINAL_SAMPLERATE, &rate, sizeof rate) ||
            sf_command(m_file, SFC_GET_CURRENT_SF_INFO, &info, sizeof info) != 0)
            info.samplerate = 0;
    }
    if (!wanted || info.channels <= 0 || info.channels > kMaxChannels || info.samplerate <= 0 ||
        info.frames <= 0 ||
        (m_rate && (info.samplerate != m_rate || info.channels != m_channels))) {
        closeFile();
        return false;
    }
    m_rate = info.samplerate;
    m_channels = info.channels;
    // libsndfile gives the largest count there is for a total the header leaves unset.
    m_length = info.frames == SF_COUNT_MAX ? -1 : info.frames;
    return true;
}

// The rate, channels and total of a FLAC stream's STREAMINFO, the block every FLAC
// stream opens with, as libsndfile reads them; false when the stream does not open
// with one or it states no total.
bool SndfileStream::readStreamInfo() {
    unsigned char head[8 + 18] = {};
    if (m_span->readAt(m_span->windowBegin(), head, sizeof head) != std::int64_t(sizeof head) ||
        std::memcmp(head, "fLaC", 4) != 0 || (head[4] & 0x7F) != 0 || head[5] != 0 ||
        head[6] != 0 || head[7] != 34)
        return false;
    const unsigned char* info = head + 8;
    const int rate = int(info[10]) << 12 | int(info[11]) << 4 | info[12] >> 4;
    const int channels = ((info[12] >> 1) & 0x07) + 1;
    const std::int64_t total = std::int64_t(info[13] & 0x0F) << 32 | std::int64_t(info[14]) << 24 |
                               std::int64_t(info[15]) << 16 | std::int64_t(info[16]) << 8 |
                               info[17];
    if (rate <= 0 || total <= 0)
        return false;
    m_rate = rate;
    m_channels = channels;
    m_length = total;
    return true;
}

bool SndfileStream::open(std::unique_ptr<FileSpan> span, Format format, bool lengthOnly) {
    closeFile();
    m_span = std::move(span);
    m_format = format;
    m_rate = m_channels = 0;
    // For the length alone a FLAC's header says what libsndfile would read from it, at
    // a small part of the cost of opening it (the playlist reads thousands).
    if (lengthOnly && format == Format::Flac && readStreamInfo())
        return true;
    if (!openFile())
        return false;
    m_mix =
        StereoMix(m_channels, format == Format::Flac ? ChannelOrder::Wave : ChannelOrder::Vorbis);
    if (m_length < 0 || (!lengthOnly && !reaches(m_length))) {
        // The header's total is unset or not reached: the stream as it decodes counts.
        const std::int64_t counted = countFrames();
        if (counted <= 0 || !openFile()) {
            closeFile();
            return false;
        }
        m_length = counted;
    }
    return true;
}

// Whether the stream's last frame can be gone to and decoded; the stream is back at
// its start (reopened when the seek failed).
bool SndfileStream::reaches(std::int64_t frames) {
    float last[kMaxChannels];
    const bool reached =
        sf_seek(m_file, frames - 1, SEEK_SET) == frames - 1 && sf_readf_float(m_file, last, 1) == 1;
    if (reached && sf_seek(m_file, 0, SEEK_SET) == 0)
        return true;
    openFile();
    return reached;
}

// The frames the stream decodes to from where it is; it is at its end afterwards.
std::int64_t SndfileStream::countFrames() {
    std::int64_t total = 0;
    if (!m_file)
        return 0;
    m_scratch.resize(size_t(kScratchFrames * m_channels));
    for (;;) {
        const sf_count_t n = sf_readf_float(m_file, m_scratch.data(), kScratchFrames);
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

std::int64_t SndfileStream::read(float* out, std::int64_t frames) {
    if (!m_file)
        return 0;
    if (m_channels == 2)
        return std::max<sf_count_t>(0, sf_readf_float(m_file, out, frames));
    m_scratch.resize(size_t(kScratchFrames * m_channels));
    std::int64_t total = 0;
    while (total < frames) {
        const sf_count_t n =
            sf_readf_float(m_file, m_scratch.data(), std::min(frames - total, kScratchFrames));
        if (n <= 0)
            break;
        m_mix.apply(m_scratch.data(), out + 2 * total, n);
        total += n;
    }
    return total;
}

bool SndfileStream::seek(std::int64_t frame) {
    if (!m_file || frame < 0 || frame >= m_length)
        return false;
    if (sf_seek(m_file, frame, SEEK_SET) == frame)
        return true;
    // A failed seek leaves the decoder unusable; the stream starts over, at its start.
    openFile();
    return false;
}

} // namespace pelto
