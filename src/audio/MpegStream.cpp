#include "audio/MpegStream.h"

#include "audio/MpegFrameWalk.h"
#include "common/FileSpan.h"

#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <sys/types.h>

namespace pelto {

namespace {

// libmpg123 reads through these, so that it sees only the span's window.
ssize_t spanRead(void* handle, void* buffer, size_t count) {
    return ssize_t(static_cast<FileSpan*>(handle)->read(buffer, std::int64_t(count)));
}

off_t spanSeek(void* handle, off_t offset, int whence) {
    return off_t(static_cast<FileSpan*>(handle)->seek(offset, whence));
}

// The span the background indexing reads, which it stops reading once the stream is
// closed.
struct IndexingSpan {
    std::unique_ptr<FileSpan> span;
    std::shared_ptr<std::atomic<bool>> cancelled; // shares the stream's IndexControl
};

ssize_t indexingRead(void* handle, void* buffer, size_t count) {
    auto* source = static_cast<IndexingSpan*>(handle);
    if (source->cancelled->load())
        return -1;
    return spanRead(source->span.get(), buffer, count);
}

off_t indexingSeek(void* handle, off_t offset, int whence) {
    return spanSeek(static_cast<IndexingSpan*>(handle)->span.get(), offset, whence);
}

// How long after a song opens its frame index is built.
constexpr std::chrono::milliseconds kIndexingDelay{2000};

// Setting up a libmpg123 handle computes its tables, which costs more than reading
// a file's length. Length-only streams (the playlist reads thousands) therefore keep
// one handle per thread for the next file.
struct HandleDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
thread_local std::unique_ptr<mpg123_handle, HandleDeleter> t_spareHandle;

mpg123_handle* newHandle(bool lengthOnly) {
    if (lengthOnly && t_spareHandle)
        return t_spareHandle.release();
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle)
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    return handle;
}

} // namespace

MpegStream::MpegStream() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

MpegStream::~MpegStream() {
    close();
}

void MpegStream::close() {
    if (m_index.valid()) {
        {
            std::lock_guard guard(m_indexControl->lock);
            m_indexControl->cancelled = true;
        }
        m_indexControl->wake.notify_all();
        m_index.wait();
    }
    m_index = {};
    if (m_handle) {
        mpg123_close(m_handle);
        if (m_purpose == Purpose::LengthOnly && !t_spareHandle)
            t_spareHandle.reset(m_handle);
        else
            mpg123_delete(m_handle);
    }
    m_handle = nullptr;
    m_pending = 0;
    m_span.reset();
}

bool MpegStream::open(std::unique_ptr<FileSpan> span, Purpose purpose) {
    close();
    m_span = std::move(span);
    m_purpose = purpose;
    m_handle = newHandle(purpose == Purpose::LengthOnly);
    if (!m_handle)
        return false;
    if (purpose == Purpose::Decode) {
        mpg123_format_none(m_handle);
        const long* rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i)
            mpg123_format(m_handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_replace_reader_handle(m_handle, spanRead, spanSeek, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_handle, m_span.get()) != MPG123_OK) {
        close();
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0) {
        close();
        return false;
    }
    m_rate = int(rate);
    m_length = workOutLength();
    return true;
}

// libmpg123 knows the length exactly from a Xing, Info or VBRI header. Without one it
// estimates the length from the file size, which holds only for a constant bitrate,
// and the first frames do not tell that: a song that opens with a second of near
// silence has many frames at one low rate. A walk over the 4-byte header of every
// frame (the bodies skipped, nothing decoded) does tell, and its count of frames gives
// the exact length either way.
std::int64_t MpegStream::workOutLength() {
    if (!lengthHeaderPresent()) {
        const MpegFrameWalk walk = walkMpegFrames(*m_span, mpg123_framepos(m_handle));
        const int samplesPerFrame = mpg123_spf(m_handle);
        if (walk.complete && samplesPerFrame > 0 &&
            (walk.constantBitrate || m_purpose == Purpose::LengthOnly)) {
            if (m_purpose == Purpose::Decode)
                startIndexing();
            return walk.frames * samplesPerFrame;
        }
        // A variable bitrate to decode (seeking needs the place of every frame), or a
        // stream the walk could not follow to its end: libmpg123 reads it through,
        // which also indexes every frame.
        mpg123_scan(m_handle);
    } else if (m_purpose == Purpose::Decode) {
        startIndexing();
    }
    const off_t length = mpg123_length(m_handle);
    return length >= 0 ? std::int64_t(length) : -1;
}

void MpegStream::startIndexing() {
    auto span = m_span->duplicate();
    if (!span)
        return;
    span->setWindow(m_span->windowBegin(), m_span->windowBegin() + m_span->windowSize());
    span->setReadBuffer(64 * 1024);
    m_indexControl = std::make_shared<IndexControl>();
    std::shared_ptr<std::atomic<bool>> cancelled(m_indexControl, &m_indexControl->cancelled);
    auto source = std::make_unique<IndexingSpan>(IndexingSpan{std::move(span), cancelled});
    m_index =
        std::async(std::launch::async, [control = m_indexControl, source = std::move(source)]() {
            FrameIndex index;
            {
                // The scan waits a moment: the start of a song is busy enough, and a song
                // that is only decoded through, or skipped, never needs an index.
                std::unique_lock guard(control->lock);
                control->wake.wait_for(guard, kIndexingDelay, [&] {
                    return control->startNow || control->cancelled.load();
                });
            }
            mpg123_handle* handle = newHandle(false);
            if (!handle)
                return index;
            off_t* offsets = nullptr;
            off_t step = 0;
            size_t fill = 0;
            if (mpg123_replace_reader_handle(handle, indexingRead, indexingSeek, nullptr) ==
                    MPG123_OK &&
                mpg123_open_handle(handle, source.get()) == MPG123_OK &&
                mpg123_scan(handle) == MPG123_OK &&
                mpg123_index(handle, &offsets, &step, &fill) == MPG123_OK) {
                index.offsets.assign(offsets, offsets + fill);
                index.step = step;
            }
            mpg123_close(handle);
            mpg123_delete(handle);
            return index;
        });
}

// A seek forward before the index is done waits for it: finishing the scan costs no
// more than reading forward to the target would, and every later seek is quick. A
// seek back needs no wait: libmpg123 indexes the frames it has already read.
void MpegStream::applyIndexFor(std::int64_t frame) {
    if (!m_index.valid())
        return;
    const bool ready = m_index.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (!ready && frame <= std::int64_t(mpg123_tell(m_handle)))
        return;
    {
        std::lock_guard guard(m_indexControl->lock);
        m_indexControl->startNow = true;
    }
    m_indexControl->wake.notify_all();
    FrameIndex index = m_index.get();
    if (!index.offsets.empty()) {
        std::vector<off_t> offsets(index.offsets.begin(), index.offsets.end());
        mpg123_set_index(m_handle, offsets.data(), off_t(index.step), offsets.size());
    }
}

// Whether a Xing, Info or VBRI header gave libmpg123 the stream's length.
bool MpegStream::lengthHeaderPresent() {
    mpg123_frameinfo info{};
    if (mpg123_info(m_handle, &info) != MPG123_OK)
        return false;
    if (info.vbr != MPG123_CBR)
        return true; // the rate mode came from a header, which also gives the length
    long encoderDelay = -1;
    double unused = 0;
    // An Info header (constant bitrate) with the encoder's delay and the frame count.
    return mpg123_getstate(m_handle, MPG123_ENC_DELAY, &encoderDelay, &unused) == MPG123_OK &&
           encoderDelay >= 0;
}

// libmpg123 decodes to 16-bit samples faster than to float (its 16-bit synthesis is
// the most tuned, and half the bytes move); 16 bits are what the output plays anyway.
// Frames are taken straight from the decoder's buffer and converted on the way out.
std::int64_t MpegStream::read(float* out, std::int64_t frames) {
    if (!m_handle)
        return 0;
    std::int64_t total = 0;
    while (total < frames) {
        if (m_pending == 0 && !decodeNextFrame())
            break;
        const std::int64_t n = std::min(frames - total, m_pending);
        const std::int16_t* from = m_pendingSamples;
        float* to = out + 2 * total;
        for (std::int64_t k = 0; k < 2 * n; ++k)
            to[k] = float(from[k]) * (1.0f / 32768.0f);
        m_pendingSamples += 2 * n;
        m_pending -= n;
        total += n;
    }
    return total;
}

bool MpegStream::decodeNextFrame() {
    for (;;) {
        off_t number = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int result = mpg123_decode_frame(m_handle, &number, &audio, &bytes);
        if (result == MPG123_NEW_FORMAT)
            continue;
        if (result != MPG123_OK)
            return false;
        if (bytes < 2 * sizeof(std::int16_t))
            continue; // a frame that gapless trimming emptied
        m_pendingSamples = reinterpret_cast<const std::int16_t*>(audio);
        m_pending = std::int64_t(bytes / (2 * sizeof(std::int16_t)));
        return true;
    }
}

bool MpegStream::seek(std::int64_t frame) {
    if (!m_handle || frame < 0 || (m_length >= 0 && frame >= m_length))
        return false;
    applyIndexFor(frame);
    m_pending = 0; // what was decoded before the seek is not wanted
    return mpg123_seek(m_handle, off_t(frame), SEEK_SET) >= 0;
}

} // namespace pelto
