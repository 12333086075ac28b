#include "AudioTestFiles.h"

#include "audio/PcmSource.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pelto::test {

QString fixture(const QString& name) {
    return QStringLiteral(PELTO_SOURCE_DIR "/tests/audio/fixtures/") + name;
}

bool writeMp3(const QString& path, int seconds, int kbps) {
    return writeMp3(path, 0, seconds, {"-b", QString::number(kbps)});
}

bool writeMp3(const QString& path, double quietSeconds, double seconds,
              const QStringList& lameOptions) {
    constexpr int rate = 44100;
    const int quiet = int(quietSeconds * rate);
    const int total = quiet + int(seconds * rate);
    QByteArray pcm(qsizetype(quiet) * 4, '\0');
    pcm.reserve(qsizetype(total) * 4);
    std::uint32_t noise = 12345;
    for (int i = quiet; i < total; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = double(i) / rate;
        const double tone = 0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * 331 * t);
        const double hiss = 0.1 * (double(noise >> 16) / 32768.0 - 1.0);
        const auto left = qToLittleEndian(std::int16_t(32767 * (tone + hiss)));
        const auto right = qToLittleEndian(std::int16_t(32767 * (tone - hiss)));
        pcm.append(reinterpret_cast<const char*>(&left), 2);
        pcm.append(reinterpret_cast<const char*>(&right), 2);
    }
    QProcess lame;
    lame.start("lame", QStringList{"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "--signed",
                                   "--little-endian"} +
                           lameOptions + QStringList{"-", path});
    if (!lame.waitForStarted())
        return false;
    lame.write(pcm);
    lame.closeWriteChannel();
    return lame.waitForFinished(60000) && lame.exitStatus() == QProcess::NormalExit &&
           lame.exitCode() == 0;
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
    // An empty vector's data() may be null, which memcpy must not be given.
    if (!out.empty())
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
