#include "AudioTestFiles.h"

#include "audio/PcmSource.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>

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

std::vector<float> floatsOf(const QByteArray& bytes) {
    std::vector<float> out(size_t(bytes.size()) / sizeof(float));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(float));
    return out;
}

size_t leadingSilence(const std::vector<float>& samples) {
    size_t n = 0;
    while (n + 1 < samples.size() && samples[n] == 0.0f && samples[n + 1] == 0.0f)
        n += 2;
    return n;
}

std::vector<float> withoutSilentFrames(const std::vector<float>& samples) {
    std::vector<float> out;
    for (size_t i = 0; i + 1 < samples.size(); i += 2)
        if (samples[i] != 0.0f || samples[i + 1] != 0.0f) {
            out.push_back(samples[i]);
            out.push_back(samples[i + 1]);
        }
    return out;
}

float peak(const std::vector<float>& samples) {
    float p = 0;
    for (float s : samples)
        p = std::max(p, std::fabs(s));
    return p;
}

} // namespace pelto::test
