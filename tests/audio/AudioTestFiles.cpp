#include "AudioTestFiles.h"

#include "audio/PcmSource.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace pelto::test {

QString fixture(const QString& name) {
    return QStringLiteral(PELTO_SOURCE_DIR "/tests/audio/fixtures/") + name;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

Decoded decodeAll(const QString& path) {
    Decoded result;
    PcmSource source;
    if (!source.open(path))
        return result;
    result.rate = source.rate();
    std::vector<float> chunk(2 * 4096);
    for (;;) {
        const std::int64_t n = source.read(chunk.data(), 4096);
        if (n <= 0)
            break;
        result.samples.insert(result.samples.end(), chunk.begin(), chunk.begin() + 2 * n);
    }
    return result;
}

float peak(const std::vector<float>& samples) {
    float p = 0;
    for (float s : samples)
        p = std::max(p, std::fabs(s));
    return p;
}

} // namespace pelto::test
