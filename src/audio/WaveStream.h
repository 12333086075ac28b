#pragma once

#include "audio/PcmStream.h"

#include <memory>
#include <vector>

struct sf_private_tag;

namespace pelto {

class FileSpan;

// Wave audio read by libsndfile: 8-, 16-, 24- and 32-bit PCM, float and
// WAVE_FORMAT_EXTENSIBLE, any rate. Output is stereo float: mono plays on both
// channels, and of more than two channels the first two are played.
class WaveStream final : public PcmStream {
public:
    WaveStream();
    ~WaveStream() override;

    // Opens the file the span shows; false when it is no Wave file that libsndfile
    // can read or holds no frames. Takes over the span.
    bool open(std::unique_ptr<FileSpan> span);

    int rate() const override { return m_rate; }
    int channels() const override { return 2; }
    std::int64_t read(float* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;
    std::int64_t length() const override { return m_length; }

private:
    void close();

    sf_private_tag* m_file = nullptr;
    std::unique_ptr<FileSpan> m_span;
    int m_rate = 0;
    int m_channels = 0;
    std::int64_t m_length = -1;
    std::vector<float> m_scratch;
};

} // namespace pelto
