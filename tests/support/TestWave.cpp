#include "TestWave.h"

#include "TestFiles.h"

#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace pelto::test {

bool writeWave(const QString& path, int rate, int channels, qint64 frames,
               const std::function<qint16(qint64 frame)>& sampleOfFrame) {
    std::vector<qint16> samples(size_t(frames * channels));
    for (qint64 i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] = sampleOfFrame(i);
    return writeWaveSamples(path, rate, channels, samples);
}

bool writeWaveSamples(const QString& path, int rate, int channels,
                      const std::vector<qint16>& samples) {
    const int frameBytes = 2 * channels;
    QByteArray data(qsizetype(samples.size() * 2), '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        qToLittleEndian<qint16>(samples[i], data.data() + 2 * i);
    QByteArray header(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, header.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, header.data() + at); };
    header.replace(0, 4, "RIFF");
    put32(4, quint32(36 + data.size()));
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, quint16(channels));
    put32(24, quint32(rate));
    put32(28, quint32(rate * frameBytes));
    put16(32, quint16(frameBytes));
    put16(34, 16);
    header.replace(36, 4, "data");
    put32(40, quint32(data.size()));
    return writeFile(path, header + data);
}

bool writeTestWave(const QString& path, int rate, int channels, int seconds,
                   const std::function<qint16(int second)>& sampleOfSecond) {
    return writeWave(path, rate, channels, qint64(seconds) * rate,
                     [&](qint64 frame) { return sampleOfSecond(int(frame / rate)); });
}

bool writeSilentWave(const QString& path, int seconds) {
    return writeWave(path, 8000, 1, qint64(seconds) * 8000, [](qint64) { return qint16(0); });
}

bool writeSquareWave(const QString& path, int seconds, int rate) {
    return writeWave(path, rate, 2, qint64(seconds) * rate,
                     [](qint64 frame) { return qint16((frame / 40) % 2 ? -16384 : 16384); });
}

std::vector<PlayedFrame> framesOf(const QString& path, qint64 fromFrame) {
    const QByteArray bytes = readFile(path);
    const qint64 count = bytes.size() / qint64(sizeof(PlayedFrame));
    std::vector<PlayedFrame> frames;
    if (fromFrame < count) {
        frames.resize(size_t(count - fromFrame));
        std::memcpy(frames.data(), bytes.constData() + fromFrame * qint64(sizeof(PlayedFrame)),
                    frames.size() * sizeof(PlayedFrame));
    }
    return frames;
}

qint64 frameCount(const QString& path) {
    return QFileInfo(path).size() / qint64(sizeof(PlayedFrame));
}

} // namespace pelto::test
