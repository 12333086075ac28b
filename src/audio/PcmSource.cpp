#include "audio/PcmSource.h"

#include "audio/MpegStream.h"
#include "audio/WaveStream.h"
#include "audio/XiphStreams.h"
#include "common/FileRead.h"
#include "common/FileSpan.h"
#include "common/RiffChunks.h"

namespace pelto {

namespace {

std::unique_ptr<PcmStream> openMpeg(std::unique_ptr<FileSpan> file, bool lengthOnly) {
    auto mpeg = std::make_unique<MpegStream>();
    const auto purpose = lengthOnly ? MpegStream::Purpose::LengthOnly : MpegStream::Purpose::Decode;
    if (!mpeg->open(std::move(file), purpose))
        return nullptr;
    return mpeg;
}

// MPEG audio wrapped in RIFF: only the 'data' chunk is MPEG; the chunks around it
// (LIST and others) would otherwise be taken for damaged frames and counted in the
// length.
std::unique_ptr<PcmStream> openMpegInData(std::unique_ptr<FileSpan> file, bool lengthOnly) {
    const auto data = findRiffChunk(*file, {'d', 'a', 't', 'a'});
    if (!data)
        return nullptr;
    file->setWindow(data->offset, data->offset + data->size);
    return openMpeg(std::move(file), lengthOnly);
}

} // namespace

std::unique_ptr<PcmStream> openPcmStream(std::unique_ptr<FileSpan> file, bool lengthOnly) {
    if (const XiphKind xiph = xiphKindOf(*file); xiph != XiphKind::None)
        return openXiphStream(std::move(file), xiph, lengthOnly);
    char head[12] = {};
    const std::int64_t got = file->readAt(0, head, sizeof head);
    switch (riffFormOf(head, got)) {
    case RiffForm::Wave: {
        // Wave files may also carry MPEG audio in their 'data' chunk, which
        // libsndfile leaves alone.
        auto spare = file->duplicate();
        auto wave = std::make_unique<WaveStream>();
        if (wave->open(std::move(file)))
            return wave;
        return spare ? openMpegInData(std::move(spare), lengthOnly) : nullptr;
    }
    case RiffForm::Rmp3:
        return openMpegInData(std::move(file), lengthOnly);
    default:
        return openMpeg(std::move(file), lengthOnly);
    }
}

PcmSource::PcmSource() = default;
PcmSource::~PcmSource() = default;

bool PcmSource::open(const QString& path) {
    close();
    m_openFailure.clear();
    auto file = std::make_unique<FileSpan>();
    if (!file->open(path)) {
        m_openFailure = unreadableText(file->openOutcome());
        return false;
    }
    file->prefetch();
    file->setReadBuffer(64 * 1024);
    const FileSpan::ReadErrorRecord readError = file->readErrorRecord();
    auto stream = openPcmStream(std::move(file), false);
    // A file that yields no sample at all cannot be played.
    float probe[2 * 64];
    if (!stream || stream->read(probe, 64) <= 0 || !stream->seek(0)) {
        // A read that failed is the reason, not the content it never gave.
        if (const int error = readError->load())
            m_openFailure = unreadableText({FileStatus::Refused, systemReason(error), error});
        return false;
    }
    m_stream = std::move(stream);
    return true;
}

void PcmSource::close() {
    m_stream.reset();
}

int PcmSource::rate() const {
    return m_stream ? m_stream->rate() : 0;
}

std::int64_t PcmSource::lengthFrames() const {
    return m_stream ? m_stream->length() : -1;
}

std::int64_t PcmSource::read(float* out, std::int64_t frames) {
    return m_stream ? m_stream->read(out, frames) : 0;
}

bool PcmSource::seekFrame(std::int64_t frame) {
    return m_stream && m_stream->seek(frame);
}

bool PcmSource::seekSeconds(int seconds) {
    return m_stream && seekFrame(std::int64_t(seconds) * m_stream->rate());
}

} // namespace pelto
