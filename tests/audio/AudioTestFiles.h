#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace pelto::test {

// A committed fixture by file name (tests/audio/fixtures/NAME).
QString fixture(const QString& name);

// The whole file, under the name the player's engine test reads it by.
inline QByteArray readBytes(const QString& path) {
    return readFile(path);
}

// Encodes `seconds` of a music-like 44.1 kHz stereo signal (two tones over noise) to an
// MP3 at a constant `kbps` with lame; false when lame fails.
bool writeMp3(const QString& path, int seconds, int kbps);
// The same signal after `quietSeconds` of digital silence, encoded by lame with the
// given options (for example {"-V", "2", "-t"}: a variable bitrate and no header).
bool writeMp3(const QString& path, double quietSeconds, double seconds,
              const QStringList& lameOptions);

// Decoded stereo float samples of a whole file through PcmSource; empty when it does
// not open.
struct Decoded {
    int rate = 0;
    std::vector<float> samples; // interleaved left, right
    qsizetype frames() const { return qsizetype(samples.size() / 2); }
};
Decoded decodeAll(const QString& path);

// Raw native-endian 32-bit floats, as SDL's disk driver writes them.
std::vector<float> floatsOf(const QByteArray& bytes);

// The number of zero samples a sequence of stereo frames begins with, in whole frames.
size_t leadingSilence(const std::vector<float>& samples);

// The frames that are not silent, in order: a pause inserts silence, which this
// leaves out, while any sample dropped or played twice still shows.
std::vector<float> withoutSilentFrames(const std::vector<float>& samples);

// The largest absolute sample value, to tell sound from silence.
float peak(const std::vector<float>& samples);

} // namespace pelto::test
