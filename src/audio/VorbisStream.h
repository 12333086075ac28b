#pragma once

#include "audio/ChannelMix.h"
#include "audio/PcmStream.h"

#include <memory>

namespace pelto {

class FileSpan;

// Ogg Vorbis decoded by libvorbisfile over a FileSpan, to float mixed to stereo. Not
// libsndfile: its Ogg Vorbis seeks (1.2.0, Debian 12's) land on the wrong samples,
// thousands of frames from the target, while libvorbisfile's are exact. The length is
// libvorbisfile's exact count (the last page's granule position); of a chain of
// streams, the links at the first link's rate are played, and the first at another
// rate ends the song.
class VorbisStream final : public PcmStream {
public:
    VorbisStream();
    ~VorbisStream() override;

    // Opens the Ogg Vorbis stream the span shows; false when libvorbisfile cannot
    // read it or it holds no samples. Takes over the span.
    bool open(std::unique_ptr<FileSpan> span);

    int rate() const override { return m_rate; }
    int channels() const override { return 2; }
    std::int64_t read(float* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;
    std::int64_t length() const override { return m_length; }

private:
    struct File;
    void close();

    std::unique_ptr<File> m_file;
    std::unique_ptr<FileSpan> m_span;
    int m_rate = 0;
    std::int64_t m_length = -1;
    std::int64_t m_position = 0;
    int m_link = -1; // the link whose channels m_mix mixes
    StereoMix m_mix;
};

} // namespace pelto
