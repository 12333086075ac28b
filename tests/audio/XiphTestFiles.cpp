#include "XiphTestFiles.h"

#include "TestFiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <array>
#include <cstring>

namespace pelto::test {

bool runTool(const QString& program, const QStringList& args, QString* out) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return false;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool makeSourceWave(const QString& path, int rate, int channels, int bits, double seconds) {
    return runTool("sox", {"-R", "-n", "-r", QString::number(rate), "-c", QString::number(channels),
                           "-b", QString::number(bits), path, "synth", QString::number(seconds),
                           "pinknoise", "sine", "300-3000", "gain", "-6"});
}

bool encode(Xiph format, const QString& wave, const QString& out, const QStringList& extra) {
    switch (format) {
    case Xiph::Flac:
        return runTool("flac", QStringList{"-s", "-f"} + extra + QStringList{"-o", out, wave});
    case Xiph::Vorbis:
        return runTool("oggenc",
                       QStringList{"-Q", "-q", "3"} + extra + QStringList{"-o", out, wave});
    case Xiph::Opus:
        return runTool("opusenc",
                       QStringList{"--quiet", "--bitrate", "96"} + extra + QStringList{wave, out});
    }
    return false;
}

std::vector<float> Pcm::stereo() const {
    if (channels == 2)
        return samples;
    std::vector<float> out;
    out.reserve(size_t(2 * frames()));
    for (float s : samples) {
        out.push_back(s);
        out.push_back(s);
    }
    return out;
}

Pcm readWave(const QString& path) {
    const QByteArray bytes = readFile(path);
    Pcm pcm;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return pcm;
    // Assembled by hand: GCC takes qFromLittleEndian on a QByteArray for a read past
    // its empty buffer.
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto u16 = [d](qsizetype at) { return int(d[at]) | int(d[at + 1]) << 8; };
    const auto u32 = [d](qsizetype at) {
        return quint32(d[at]) | quint32(d[at + 1]) << 8 | quint32(d[at + 2]) << 16 |
               quint32(d[at + 3]) << 24;
    };
    int tag = 0;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = qsizetype(u32(at + 4));
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16) {
            tag = u16(body);
            pcm.channels = u16(body + 2);
            pcm.rate = int(u32(body + 4));
            pcm.bits = u16(body + 14);
            if (tag == 0xFFFE && size >= 26)
                tag = u16(body + 24); // the sub-format's first two bytes
        } else if (id == "data" && pcm.channels > 0) {
            const qsizetype n = std::min<qsizetype>(size, bytes.size() - body);
            const char* p = bytes.constData() + body;
            if (tag == 1 && pcm.bits == 16) {
                for (qsizetype i = 0; i + 2 <= n; i += 2)
                    pcm.samples.push_back(float(qFromLittleEndian<qint16>(p + i)) / 32768.0f);
            } else if (tag == 1 && pcm.bits == 24) {
                for (qsizetype i = 0; i + 3 <= n; i += 3) {
                    const auto b = reinterpret_cast<const unsigned char*>(p + i);
                    const qint32 v =
                        qint32(quint32(b[0]) << 8 | quint32(b[1]) << 16 | quint32(b[2]) << 24) >> 8;
                    pcm.samples.push_back(float(v) / 8388608.0f);
                }
            } else if (tag == 3 && pcm.bits == 32) {
                for (qsizetype i = 0; i + 4 <= n; i += 4) {
                    const quint32 v = qFromLittleEndian<quint32>(p + i);
                    float f;
                    std::memcpy(&f, &v, 4);
                    pcm.samples.push_back(f);
                }
            } else {
                return Pcm();
            }
            return pcm;
        }
        at = body + size + (size & 1);
    }
    return Pcm();
}

Pcm referenceDecode(Xiph format, const QString& path) {
    QTemporaryDir dir;
    const QString out = dir.filePath("reference.wav");
    bool ok = false;
    switch (format) {
    case Xiph::Flac:
        ok = runTool("flac", {"-s", "-d", "-f", "-o", out, path});
        break;
    case Xiph::Vorbis:
        ok = runTool("oggdec", {"-Q", "-o", out, path});
        break;
    case Xiph::Opus:
        ok = runTool("opusdec", {"--quiet", "--float", "--rate", "48000", path, out});
        break;
    }
    return ok ? readWave(out) : Pcm();
}

qint64 metaflacTotalSamples(const QString& path) {
    QString out;
    if (!runTool("metaflac", {"--show-total-samples", path}, &out))
        return -1;
    bool ok = false;
    const qint64 n = out.trimmed().toLongLong(&ok);
    return ok ? n : -1;
}

double toolLengthMs(Xiph format, const QString& path) {
    if (format == Xiph::Flac) {
        QString rate;
        const qint64 total = metaflacTotalSamples(path);
        if (total < 0 || !runTool("metaflac", {"--show-sample-rate", path}, &rate))
            return -1;
        return double(total) * 1000.0 / rate.trimmed().toDouble();
    }
    QString out;
    if (!runTool(format == Xiph::Vorbis ? "ogginfo" : "opusinfo", {path}, &out))
        return -1;
    // "Playback length: 0m:07.123s"
    static const QRegularExpression length(QStringLiteral("Playback length: (\\d+)m:([0-9.]+)s"));
    const QRegularExpressionMatch match = length.match(out);
    if (!match.hasMatch())
        return -1;
    return match.captured(1).toDouble() * 60000.0 + match.captured(2).toDouble() * 1000.0;
}

float referenceTolerance(Xiph format) {
    switch (format) {
    case Xiph::Flac:
        return 0.0f;
    case Xiph::Vorbis:
        return 0.5f / 32768.0f;
    case Xiph::Opus:
        return 1e-6f;
    }
    return 0.0f;
}

namespace {

quint32 oggCrc(const char* data, qsizetype size) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    quint32 crc = 0;
    for (qsizetype i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ quint8(data[i])) & 0xFF];
    return crc;
}

} // namespace

QByteArray withOggChecksums(QByteArray bytes) {
    qsizetype at = 0;
    while (at + 27 <= bytes.size() && bytes.mid(at, 4) == "OggS") {
        const int segments = quint8(bytes[at + 26]);
        if (at + 27 + segments > bytes.size())
            break;
        qsizetype body = 0;
        for (int i = 0; i < segments; ++i)
            body += quint8(bytes[at + 27 + i]);
        const qsizetype size = 27 + segments + body;
        if (at + size > bytes.size())
            break;
        qToLittleEndian<quint32>(0, bytes.data() + at + 22);
        qToLittleEndian<quint32>(oggCrc(bytes.constData() + at, size), bytes.data() + at + 22);
        at += size;
    }
    return bytes;
}

qsizetype vorbisCommentAt(Xiph format, const QByteArray& bytes) {
    if (format == Xiph::Flac) {
        qsizetype at = 4; // after "fLaC"
        while (at + 4 <= bytes.size()) {
            const int type = quint8(bytes[at]) & 0x7F;
            const qsizetype length = qsizetype(quint8(bytes[at + 1])) << 16 |
                                     qsizetype(quint8(bytes[at + 2])) << 8 | quint8(bytes[at + 3]);
            if (type == 4)
                return at + 4;
            if (quint8(bytes[at]) & 0x80)
                break;
            at += 4 + length;
        }
        return -1;
    }
    const QByteArray mark =
        format == Xiph::Vorbis ? QByteArray("\x03vorbis") : QByteArray("OpusTags");
    const qsizetype at = bytes.indexOf(mark);
    return at < 0 ? -1 : at + mark.size();
}

QByteArray withCommentLengthsClaiming(Xiph format, QByteArray bytes, quint32 claimed) {
    const qsizetype at = vorbisCommentAt(format, bytes);
    if (at < 0 || at + 4 > bytes.size())
        return {};
    const quint32 vendor = qFromLittleEndian<quint32>(bytes.constData() + at);
    qToLittleEndian<quint32>(claimed, bytes.data() + at);
    if (at + 8 + qsizetype(vendor) <= bytes.size())
        qToLittleEndian<quint32>(claimed, bytes.data() + at + 4 + vendor);
    return format == Xiph::Flac ? bytes : withOggChecksums(bytes);
}

QByteArray withFlacTotal(QByteArray bytes, quint64 total) {
    // STREAMINFO follows "fLaC" and its 4-byte header; the 36-bit total starts in the
    // low half of its 14th byte.
    const qsizetype at = 8 + 13;
    if (bytes.size() < at + 5 || !bytes.startsWith("fLaC"))
        return {};
    bytes[at] = char((quint8(bytes[at]) & 0xF0) | ((total >> 32) & 0x0F));
    qToBigEndian<quint32>(quint32(total), bytes.data() + at + 1);
    return bytes;
}

QString extensionOf(Xiph format) {
    switch (format) {
    case Xiph::Flac:
        return QStringLiteral(".flac");
    case Xiph::Vorbis:
        return QStringLiteral(".ogg");
    case Xiph::Opus:
        return QStringLiteral(".opus");
    }
    return {};
}

void addReferenceCases() {
    QTest::addColumn<Xiph>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    for (int rate : {44100, 48000})
        for (int channels : {1, 2}) {
            for (int bits : {16, 24})
                QTest::addRow("FLAC %d Hz %d ch %d bit", rate, channels, bits)
                    << Xiph::Flac << rate << channels << bits;
            QTest::addRow("Vorbis %d Hz %d ch", rate, channels)
                << Xiph::Vorbis << rate << channels << 16;
            QTest::addRow("Opus from %d Hz %d ch", rate, channels)
                << Xiph::Opus << rate << channels << 16;
        }
}

} // namespace pelto::test
