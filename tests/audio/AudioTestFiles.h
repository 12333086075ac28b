#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace pelto::test {

// A committed fixture by file name (tests/audio/fixtures/NAME).
QString fixture(const QString& name);

// Reads or writes a whole file; writing fails the calling test through QVERIFY in
// the caller when it returns false.
QByteArray readBytes(const QString& path);
bool writeBytes(const QString& path, const QByteArray& bytes);

// Decoded stereo float samples of a whole file through PcmSource; empty when it does
// not open.
struct Decoded {
    int rate = 0;
    std::vector<float> samples; // interleaved left, right
    qsizetype frames() const { return qsizetype(samples.size() / 2); }
};
Decoded decodeAll(const QString& path);

// The largest absolute sample value, to tell sound from silence.
float peak(const std::vector<float>& samples);

} // namespace pelto::test
