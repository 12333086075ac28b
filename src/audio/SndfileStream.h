#pragma once

#include "audio/ChannelMix.h"
#include "audio/PcmStream.h"

#include <memory>
#include <vector>

struct sf_private_tag;

namespace pelto {

class FileSpan;

// FLAC and Ogg Opus read by libsndfile, through its virtual I/O over a FileSpan as
// WaveStream reads Wave, to float mixed to stereo (ChannelMix.h).
// - FLAC (through libFLAC): 8 to 24 bits at any rate, 1 to 8 channels, decoded without
//   loss (a 24-bit sample is exact in a float).
// - Opus (through libopus): always at 48 kHz (libsndfile would otherwise decode at the
//   rate the encoder was given when Opus has that rate, 16 kHz for one), with the
//   header's output gain; its lengths and seeks are exact (the last granule position
//   less the pre-skip; a seek gives what a continuous decode gives there), measured
//   against opusdec, which libopusfile's seeks are not (after one its output differs
//   from the continuous decode by up to 0.07, fading over 200 ms).
//
// The length is the total libsndfile reads from the stream (for FLAC, what its header
// states: set up for the length only, a FLAC that states one is not opened at all),
// which seeking checks and libsndfile stops at. A stream that does not state
// one (a FLAC written to a pipe), and, when set up for decoding, one whose stated total
// its audio does not reach (a truncated or lying file), is counted by decoding it
// through. libsndfile's decoders are left unusable by a failed seek, so such a seek
// reopens the stream.
class SndfileStream final : public PcmStream {
public:
    enum class Format { Flac, Opus };

    SndfileStream();
    ~SndfileStream() override;

    // Opens the stream of that format the span shows; false when libsndfile reads no
    // such stream with frames from it. Takes over the span.
    bool open(std::unique_ptr<FileSpan> span, Format format, bool lengthOnly);

    int rate() const override { return m_rate; }
    int channels() const override { return 2; }
    std::int64_t read(float* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;
    std::int64_t length() const override { return m_length; }

private:
    bool readStreamInfo();
    bool openFile();
    void closeFile();
    bool reaches(std::int64_t frames);
    std::int64_t countFrames();

    sf_private_tag* m_file = nullptr;
    Format m_format = Format::Flac;
    std::unique_ptr<FileSpan> m_span;
    int m_rate = 0;
    int m_channels = 0;
    std::int64_t m_length = -1;
    StereoMix m_mix;
    std::vector<float> m_scratch;
};

} // namespace pelto
