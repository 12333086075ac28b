#pragma once

#include "audio/PcmStream.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

struct mpg123_handle_struct;

namespace pelto {

class FileSpan;

// MPEG audio (MPEG-1, 2 and 2.5, Layers I, II and III) decoded by libmpg123 with
// gapless trimming, from the window of a file that the FileSpan shows. Output is
// always stereo float (from 16-bit decoding): a mono stream plays the same samples on
// both channels.
class MpegStream final : public PcmStream {
public:
    enum class Purpose {
        Decode,    // set up for decoding to float
        LengthOnly // only the format and the length are asked for
    };

    MpegStream();
    ~MpegStream() override;

    // Opens the stream and works out its exact length; false when no MPEG audio is
    // found. Takes over the span.
    bool open(std::unique_ptr<FileSpan> span, Purpose purpose);

    int rate() const override { return m_rate; }
    int channels() const override { return 2; }
    std::int64_t read(float* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;
    std::int64_t length() const override { return m_length; }

private:
    // Where every frame of a stream starts, as libmpg123 keeps it for seeking.
    struct FrameIndex {
        std::vector<std::int64_t> offsets;
        std::int64_t step = 0;
    };

    bool lengthHeaderPresent();
    std::int64_t workOutLength();
    bool decodeNextFrame();
    void startIndexing();
    void applyIndexFor(std::int64_t frame);
    void close();

    mpg123_handle_struct* m_handle = nullptr;
    std::unique_ptr<FileSpan> m_span;
    Purpose m_purpose = Purpose::Decode;
    int m_rate = 0;
    std::int64_t m_length = -1;
    // The rest of the last decoded frame, in the decoder's own buffer.
    const std::int16_t* m_pendingSamples = nullptr;
    std::int64_t m_pending = 0; // stereo frames
    // What the stream tells its indexing thread.
    struct IndexControl {
        std::mutex lock;
        std::condition_variable wake;
        bool startNow = false; // a seek waits for the index
        std::atomic<bool> cancelled{false};
    };

    // The frame index, built by a scan on a thread of its own while the song plays;
    // without it a seek forward reads its way to the target while the output waits.
    std::future<FrameIndex> m_index;
    std::shared_ptr<IndexControl> m_indexControl;
};

} // namespace pelto
