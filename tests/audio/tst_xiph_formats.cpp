// FLAC, Ogg Vorbis and Opus, made at test time by the formats' own encoders: each
// decodes as the format's own decoder does (flac -d, oggdec, opusdec), sample for
// sample; lengths are the tools' (metaflac, ogginfo, opusinfo) in frames, TotalSec and
// the row's mm:ss; seeks land on the exact frame; more than two channels are mixed
// down; the decoder follows the content, not the extension.
#include "AudioTestFiles.h"
#include "XiphTestFiles.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "common/TimeText.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace pelto;
using namespace pelto::test;

namespace {

// The largest difference between two runs of samples, or infinity when their sizes differ.
float largestDifference(const std::vector<float>& a, const std::vector<float>& b, size_t from = 0,
                        size_t count = SIZE_MAX) {
    if (a.size() != b.size() && count == SIZE_MAX)
        return INFINITY;
    float worst = 0;
    const size_t end = std::min({a.size(), b.size(), count == SIZE_MAX ? SIZE_MAX : from + count});
    for (size_t i = from; i < end; ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

} // namespace

class TestXiphFormats : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesAsTheFormatsOwnTool_data();
    void decodesAsTheFormatsOwnTool();
    void seeksLandOnTheFrame_data();
    void seeksLandOnTheFrame();
    void moreChannelsAreMixedDown_data();
    void moreChannelsAreMixedDown();
    void contentDecidesOverExtension();
    void flacAfterAnId3v2Tag();
    void flacWithoutATotal();
    void otherOggStreamsAreNotPlayed();

private:
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestXiphFormats::initTestCase() {
    QVERIFY(m_dir.isValid());
}

void TestXiphFormats::decodesAsTheFormatsOwnTool_data() {
    addReferenceCases();
}

void TestXiphFormats::decodesAsTheFormatsOwnTool() {
    QFETCH(Xiph, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    const QString wave = file("source.wav");
    const QString path = file(QStringLiteral("song") + extensionOf(format));
    // An odd length, so that no count comes out round by chance.
    QVERIFY(makeSourceWave(wave, rate, channels, bits, 3.71234));
    QVERIFY(encode(format, wave, path));
    const Pcm reference = referenceDecode(format, path);
    QCOMPARE(reference.channels, channels);
    QVERIFY(reference.frames() > 3 * 44100);

    const Decoded decoded = decodeAll(path);
    // Opus always plays at 48 kHz, whatever rate the encoder was given.
    QCOMPARE(decoded.rate, format == Xiph::Opus ? 48000 : rate);
    QCOMPARE(reference.rate, decoded.rate);
    QCOMPARE(decoded.frames(), reference.frames());
    const float worst = largestDifference(decoded.samples, reference.stereo());
    QVERIFY2(worst <= referenceTolerance(format) * 1.0001f,
             qPrintable(QStringLiteral("differs by %1").arg(double(worst))));
    if (format == Xiph::Flac && bits == 24) {
        // Kept at its precision: samples that 16 bits cannot hold.
        bool finer = false;
        for (float s : decoded.samples)
            finer = finer || std::fmod(double(s) * 32768.0, 1.0) != 0.0;
        QVERIFY(finer);
    }

    // The lengths: the frames as the tool counts them, its stated length, the whole
    // seconds and the row's text.
    PcmSource source;
    QVERIFY(source.open(path));
    QCOMPARE(source.lengthFrames(), std::int64_t(reference.frames()));
    const double toolMs = toolLengthMs(format, path);
    QVERIFY(toolMs > 0);
    const double ourMs = double(source.lengthFrames()) * 1000.0 / source.rate();
    QVERIFY2(std::fabs(toolMs - ourMs) < 1.0,
             qPrintable(QStringLiteral("tool %1 ms, engine %2 ms").arg(toolMs).arg(ourMs)));
    if (format == Xiph::Flac)
        QCOMPARE(metaflacTotalSamples(path), source.lengthFrames());
    const FileInfo info = readFileInfo(path);
    QCOMPARE(info.TotalSec, int(std::floor(toolMs / 1000.0)));
    QCOMPARE(timeText(info.TotalSec), QStringLiteral("00:03"));
    // These files have no version 1 tag.
    QVERIFY(info.tag.Title.isEmpty() && info.tag.Artist.isEmpty() && info.tag.Genre == 0);
}

void TestXiphFormats::seeksLandOnTheFrame_data() {
    QTest::addColumn<Xiph>("format");
    QTest::newRow("FLAC") << Xiph::Flac;
    QTest::newRow("Vorbis") << Xiph::Vorbis;
    QTest::newRow("Opus") << Xiph::Opus;
}

void TestXiphFormats::seeksLandOnTheFrame() {
    QFETCH(Xiph, format);
    const QString wave = file("seek.wav");
    const QString path = file(QStringLiteral("seek") + extensionOf(format));
    QVERIFY(makeSourceWave(wave, 44100, 2, 16, 6.5));
    QVERIFY(encode(format, wave, path));
    const Decoded whole = decodeAll(path);
    QVERIFY(whole.frames() > 6 * whole.rate);
    PcmSource source;
    QVERIFY(source.open(path));
    std::vector<float> after(2 * 2000);
    for (int second : {3, 1, 5, 0, 2}) {
        QVERIFY(source.seekSeconds(second));
        QCOMPARE(source.read(after.data(), 2000), std::int64_t(2000));
        const size_t from = size_t(2) * size_t(second) * size_t(whole.rate);
        const std::vector<float> expected(whole.samples.begin() + std::ptrdiff_t(from),
                                          whole.samples.begin() +
                                              std::ptrdiff_t(from + after.size()));
        // What a seek gives is what playing through gives there, exactly.
        const float tolerance = 0.0f;
        const float worst = largestDifference(after, expected);
        QVERIFY2(
            worst <= tolerance,
            qPrintable(QStringLiteral("second %1 differs by %2").arg(second).arg(double(worst))));
    }
    // Past the end there is nothing to go to; the source stays usable.
    QVERIFY(!source.seekSeconds(7));
    QVERIFY(!source.seekFrame(whole.frames()));
    QVERIFY(source.seekFrame(whole.frames() - 1));
    QCOMPARE(source.read(after.data(), 10), std::int64_t(1));
    QVERIFY(source.seekFrame(0));
    QCOMPARE(source.read(after.data(), 10), std::int64_t(10));
    QCOMPARE(after[0], whole.samples[0]);
}

void TestXiphFormats::moreChannelsAreMixedDown_data() {
    QTest::addColumn<Xiph>("format");
    QTest::newRow("FLAC") << Xiph::Flac;
    QTest::newRow("Vorbis") << Xiph::Vorbis;
    QTest::newRow("Opus") << Xiph::Opus;
}

// 5.1 with a tone on one channel at a time (in the Wave order the encoders take): the
// front left plays on the left only, the centre on both sides alike, the LFE not at all.
void TestXiphFormats::moreChannelsAreMixedDown() {
    QFETCH(Xiph, format);
    struct Case {
        int channel; // in the Wave order: FL FR FC LFE BL BR
        bool left, right;
    };
    for (const Case c : {Case{0, true, false}, Case{1, false, true}, Case{2, true, true},
                         Case{3, false, false}, Case{4, true, false}}) {
        QStringList remix;
        for (int i = 0; i < 6; ++i)
            remix << (i == c.channel ? "1" : "0");
        const QString wave = file("six.wav");
        const QString path = file(QStringLiteral("six") + extensionOf(format));
        // A 100 Hz tone: low enough for the LFE channel, which Opus keeps to 120 Hz.
        QVERIFY(runTool("sox",
                        QStringList{"-R", "-n", "-r", "48000", "-b", "16", "-c", "1",
                                    file("mono.wav"), "synth", "1", "sine", "100", "gain", "-3"}));
        QVERIFY(runTool("sox", QStringList{file("mono.wav"), "-c", "6", wave, "remix"} + remix));
        QVERIFY(encode(format, wave, path));
        const Decoded pcm = decodeAll(path);
        QVERIFY(pcm.frames() > 40000);
        float left = 0, right = 0;
        for (qsizetype i = 0; i < pcm.frames(); ++i) {
            left = std::max(left, std::fabs(pcm.samples[size_t(2 * i)]));
            right = std::max(right, std::fabs(pcm.samples[size_t(2 * i + 1)]));
        }
        const QString what = QStringLiteral("channel %1: left %2, right %3")
                                 .arg(c.channel)
                                 .arg(double(left))
                                 .arg(double(right));
        QVERIFY2((left > 0.1f) == c.left && (right > 0.1f) == c.right, qPrintable(what));
        QVERIFY2(left < 0.75f && right < 0.75f, qPrintable(what));
        if (c.left && c.right)
            QVERIFY2(std::fabs(left - right) < 0.02f, qPrintable(what));
    }
}

void TestXiphFormats::contentDecidesOverExtension() {
    const QString wave = file("content.wav");
    QVERIFY(makeSourceWave(wave, 48000, 2, 16, 1.5));
    for (const Xiph format : {Xiph::Flac, Xiph::Vorbis, Xiph::Opus}) {
        const QString path = file(QStringLiteral("real") + extensionOf(format));
        QVERIFY(encode(format, wave, path));
        const Decoded real = decodeAll(path);
        QVERIFY(real.frames() > 0);
        // Under every other name (an Opus file named .ogg, a FLAC named .mp3) it plays
        // as what it is.
        for (const char* name : {"as.ogg", "as.oga", "as.opus", "as.flac", "as.mp3", "as.wav"}) {
            QFile::remove(file(name));
            QVERIFY(QFile::copy(path, file(name)));
            QVERIFY2(decodeAll(file(name)).samples == real.samples, name);
            QCOMPARE(readFileInfo(file(name)).TotalSec, 1);
        }
    }
}

void TestXiphFormats::flacAfterAnId3v2Tag() {
    const QString wave = file("tagged.wav");
    const QString path = file("id3.flac");
    QVERIFY(makeSourceWave(wave, 44100, 2, 16, 2.2));
    QVERIFY(encode(Xiph::Flac, wave, path));
    const Decoded bare = decodeAll(path);
    QVERIFY(runTool("id3v2", {"-t", "Tagged", path}));
    QVERIFY(readFile(path).startsWith("ID3"));
    QVERIFY(decodeAll(path).samples == bare.samples);
    QCOMPARE(readFileInfo(path).TotalSec, 2);
}

// A FLAC written to a pipe leaves its total unset: it is counted.
void TestXiphFormats::flacWithoutATotal() {
    const QString wave = file("piped.wav");
    const QString path = file("piped.flac");
    QVERIFY(makeSourceWave(wave, 44100, 2, 16, 2.7));
    // Raw samples from a pipe and into a pipe, so that flac knows no total beforehand
    // and cannot go back to write it.
    QVERIFY(runTool("sh", {"-c", QStringLiteral("sox '%1' -t raw - | flac -s -c --force-raw-format "
                                                "--endian=little --sign=signed --channels=2 "
                                                "--bps=16 --sample-rate=44100 - | cat > '%2'")
                                     .arg(wave, path)}));
    QCOMPARE(metaflacTotalSamples(path), qint64(0));
    const Pcm reference = readWave(wave);
    PcmSource source;
    QVERIFY(source.open(path));
    QCOMPARE(source.lengthFrames(), std::int64_t(reference.frames()));
    QCOMPARE(readFileInfo(path).TotalSec, 2);
    QVERIFY(decodeAll(path).samples == reference.stereo());
    QVERIFY(source.seekSeconds(2));
}

// Ogg FLAC (flac --ogg) is an Ogg stream of a codec the engine does not decode: it
// is not played, and not taken for MPEG audio either, whatever its name.
void TestXiphFormats::otherOggStreamsAreNotPlayed() {
    const QString wave = file("oggflac.wav");
    QVERIFY(makeSourceWave(wave, 44100, 2, 16, 1.5));
    for (const char* name : {"oggflac.oga", "oggflac.ogg", "oggflac.mp3"}) {
        const QString path = file(name);
        QVERIFY(runTool("flac", {"-s", "-f", "--ogg", "-o", path, wave}));
        QVERIFY(readFile(path).startsWith("OggS"));
        PcmSource source;
        QVERIFY2(!source.open(path), name);
        QCOMPARE(readFileInfo(path).TotalSec, 0);
    }
}

QTEST_GUILESS_MAIN(TestXiphFormats)
#include "tst_xiph_formats.moc"
