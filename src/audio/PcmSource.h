#pragma once

#include "audio/PcmStream.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace pelto {

class FileSpan;

// A playable file decoded to stereo 32-bit float PCM, without any output device.
// The decoder is chosen by the file's content, whatever its extension says: FLAC, Ogg
// Vorbis and Ogg Opus go to their decoders (XiphStreams.h), a RIFF WAVE file to the
// Wave decoder, the 'data' chunk of a RIFF RMP3 file and anything else to the MPEG
// decoder. The engine plays from it; tests and benchmarks
// decode whole files with it.
class PcmSource {
public:
    PcmSource();
    ~PcmSource();
    PcmSource(const PcmSource&) = delete;
    PcmSource& operator=(const PcmSource&) = delete;

    // Opens a file; false when it cannot be played: missing, unreadable, not audio,
    // or nothing decodes from it. Positions at the first frame.
    bool open(const QString& path);
    // After a failed open: why the file could not be read, empty when it was read
    // and is not audio.
    const QString& openFailure() const { return m_openFailure; }
    void close();
    bool isOpen() const { return bool(m_stream); }

    int rate() const;
    int channels() const { return 2; }
    // Frames in the file; -1 when unknown.
    std::int64_t lengthFrames() const;
    // Reads up to `frames` stereo frames (2 × frames floats); 0 at the end.
    std::int64_t read(float* out, std::int64_t frames);
    // Goes to a frame; false past the end.
    bool seekFrame(std::int64_t frame);
    // Goes to a whole second from the start; false past the end.
    bool seekSeconds(int seconds);

private:
    std::unique_ptr<PcmStream> m_stream;
    QString m_openFailure;
};

// Opens the decoder that fits a file's content, from a span over the whole file;
// null when none can. `lengthOnly` sets it up for asking the format and length only.
std::unique_ptr<PcmStream> openPcmStream(std::unique_ptr<FileSpan> file, bool lengthOnly);

} // namespace pelto
