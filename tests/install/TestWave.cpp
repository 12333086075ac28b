#include "TestWave.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

bool writeTestWave(const QString& path, int rate, int channels, int seconds,
                   const std::function<qint16(int second)>& sampleOfSecond) {
    const int frameBytes = 2 * channels;
    QByteArray data;
    data.reserve(qsizetype(seconds) * rate * frameBytes);
    for (int k = 0; k < seconds; ++k) {
        QByteArray frame(frameBytes, '\0');
        for (int c = 0; c < channels; ++c)
            qToLittleEndian<qint16>(sampleOfSecond(k), frame.data() + 2 * c);
        for (int i = 0; i < rate; ++i)
            data.append(frame);
    }
    QByteArray header(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, header.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, header.data() + at); };
    header.replace(0, 4, "RIFF");
    put32(4, quint32(36 + data.size()));
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, quint16(channels));
    put32(24, quint32(rate));
    put32(28, quint32(rate * frameBytes));
    put16(32, quint16(frameBytes));
    put16(34, 16);
    header.replace(36, 4, "data");
    put32(40, quint32(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(header + data) == header.size() + data.size();
}

std::vector<PlayedFrame> framesOf(const QString& path, qint64 fromFrame) {
    QFile file(path);
    std::vector<PlayedFrame> frames;
    if (!file.open(QIODevice::ReadOnly))
        return frames;
    const QByteArray bytes = file.readAll();
    const qint64 count = bytes.size() / qint64(sizeof(PlayedFrame));
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
