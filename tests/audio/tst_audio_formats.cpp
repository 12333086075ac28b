// Every kind of file the player accepts opens, decodes to sound of the right rate and
// length, and reports its length and ID3v1 tag; the decoder follows the content, not
// the extension.
#include "AudioTestFiles.h"
#include "LayerOneWriter.h"

#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "common/MpegFrameHeader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace pelto;
using namespace pelto::test;

class TestAudioFormats : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyKindDecodes_data();
    void everyKindDecodes();
    void layerOneStreams_data();
    void layerOneStreams();
    void lengthsWithoutAHeader();
    void contentDecidesOverExtension();
    void seekingLandsOnTheRightSample();
    void tagFieldsOfAFixture();
    void fileInfoFromManyThreads();

private:
    QTemporaryDir m_dir;
};

void TestAudioFormats::initTestCase() {
    QVERIFY(m_dir.isValid());
}

void TestAudioFormats::everyKindDecodes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("seconds"); // the true duration
    QTest::addColumn<bool>("mono");
    QTest::newRow("MPEG-1 Layer III CBR") << "mpeg1_l3_cbr.mp3" << 44100 << 2.5 << false;
    QTest::newRow("MPEG-2 Layer III VBR") << "mpeg2_l3_vbr.mp3" << 22050 << 3.2 << true;
    QTest::newRow("MPEG-2.5 no header") << "mpeg25_l3_noheader.mp3" << 8000 << 4.6 << true;
    QTest::newRow("MPEG-1 Layer II") << "mpeg1_l2.mp2" << 48000 << 2.208 << false;
    QTest::newRow("MPEG-2 Layer II") << "mpeg2_l2.mp2" << 24000 << 2.016 << true;
    QTest::newRow("RIFF MPEG") << "riff_wrapped.rmp" << 44100 << 2.5 << false;
    QTest::newRow("Wave u8") << "wave_u8_mono.wav" << 11025 << 1.5 << true;
    QTest::newRow("Wave s16") << "wave_s16_stereo.wav" << 44100 << 0.3 << false;
    QTest::newRow("Wave s24") << "wave_s24_stereo.wav" << 48000 << 0.25 << false;
    QTest::newRow("Wave s32") << "wave_s32_mono.wav" << 32000 << 0.3 << true;
    QTest::newRow("Wave float") << "wave_f32_stereo.wav" << 22050 << 0.3 << false;
    QTest::newRow("Wave extensible") << "wave_ext_s24_stereo.wav" << 96000 << 0.1 << false;
}

void TestAudioFormats::everyKindDecodes() {
    QFETCH(QString, name);
    QFETCH(int, rate);
    QFETCH(double, seconds);
    QFETCH(bool, mono);
    const QString path = fixture(name);

    const Decoded pcm = decodeAll(path);
    QCOMPARE(pcm.rate, rate);
    QVERIFY2(peak(pcm.samples) > 0.1f, "decodes to sound");
    QVERIFY(peak(pcm.samples) <= 1.01f);
    // Gapless trimming gives LAME files with a header their true length; other
    // streams keep the encoder's delay and padding and are whole frames long.
    QVERIFY2(std::abs(double(pcm.frames()) - seconds * rate) <= 2 * 1152,
             qPrintable(QString::number(pcm.frames())));
    if (mono) {
        for (qsizetype i = 0; i < pcm.frames(); ++i)
            QCOMPARE(pcm.samples[size_t(2 * i)], pcm.samples[size_t(2 * i + 1)]);
    }

    const FileInfo info = readFileInfo(path);
    QCOMPARE(info.TotalSec, int(std::floor(seconds)));
    QCOMPARE(info.TotalSec, int(pcm.frames() / rate));
}

void TestAudioFormats::layerOneStreams_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("stereo");
    QTest::addColumn<int>("bitrate");
    QTest::addColumn<int>("tone");
    QTest::newRow("44.1 kHz mono 128k, padded") << 44100 << false << 128 << 2;
    QTest::newRow("48 kHz stereo 384k") << 48000 << true << 384 << 5;
    QTest::newRow("32 kHz mono silence") << 32000 << false << 64 << -1;
}

void TestAudioFormats::layerOneStreams() {
    QFETCH(int, rate);
    QFETCH(bool, stereo);
    QFETCH(int, bitrate);
    QFETCH(int, tone);
    LayerOneShape shape{rate, stereo, bitrate, 0, tone};
    shape.frames = int(std::ceil(2.5 * rate / 384));
    const QString path = m_dir.filePath(QStringLiteral("layer1_%1.mp1").arg(rate));
    QVERIFY(writeFile(path, makeLayerOneStream(shape)));

    const Decoded pcm = decodeAll(path);
    QCOMPARE(pcm.rate, rate);
    QCOMPARE(pcm.frames(), qsizetype(shape.frames) * 384);
    if (tone >= 0)
        QVERIFY(peak(pcm.samples) > 0.01f);
    else
        QCOMPARE(peak(pcm.samples), 0.0f);
    QCOMPARE(readFileInfo(path).TotalSec, 2);
}

// MPEG streams without a Xing, Info or VBRI header: their length is the decoded length
// whether the bitrate is constant or not, however long the first frames share one.
void TestAudioFormats::lengthsWithoutAHeader() {
    const auto encoded = [this](const char* name, double quiet, double seconds,
                                const QStringList& options) {
        const QString path = m_dir.filePath(name);
        return writeMp3(path, quiet, seconds, options) ? readFile(path) : QByteArray();
    };
    // The first n frames of a stream.
    const auto firstFrames = [](const QByteArray& stream, int n) {
        qsizetype end = 0;
        for (int i = 0; i < n && end + 4 <= stream.size(); ++i)
            end += std::max(
                mpegFrameLength(reinterpret_cast<const unsigned char*>(stream.data()) + end), 1);
        return stream.left(end);
    };
    const QStringList cbr128{"-b", "128", "-t"}, vbr{"-V", "2", "-t"};
    const QByteArray quietThenMusic = encoded("quiet.mp3", 1, 3.5, vbr);
    const QByteArray quiet32 = encoded("q32.mp3", 1, 0, {"-b", "32", "--resample", "44.1", "-t"});
    const QByteArray loud320 = encoded("l320.mp3", 0, 4, {"-b", "320", "-t"});
    const QByteArray changeAfter20 = firstFrames(quiet32, 20) + loud320;
    const QList<std::pair<const char*, QByteArray>> files = {
        {"VBR, a quiet second first", quietThenMusic},
        {"bitrate changes after 20 frames", changeAfter20},
        {"CBR", encoded("cbr.mp3", 0, 5, cbr128)},
        {"CBR with an ID3v1 tag",
         encoded("tagged.mp3", 0, 5, cbr128 + QStringList{"--tt", "T", "--id3v1-only"})},
        // Junk inside the stream: the length comes from reading the stream through.
        {"damaged in the middle",
         changeAfter20.left(30000) + QByteArray(500, 'j') + changeAfter20.mid(30000)},
    };
    for (const auto& [name, bytes] : files) {
        QVERIFY2(bytes.size() > 10000, name);
        const QString path = m_dir.filePath(QStringLiteral("headerless.mp3"));
        QVERIFY(writeFile(path, bytes));
        const Decoded pcm = decodeAll(path);
        QCOMPARE(pcm.rate, 44100);
        QVERIFY2(pcm.frames() > 3 * 44100, name);
        const int seconds = readFileInfo(path).TotalSec;
        QVERIFY2(seconds == int(pcm.frames() / pcm.rate),
                 qPrintable(QStringLiteral("%1: %2 s, decoded %3 samples")
                                .arg(name)
                                .arg(seconds)
                                .arg(pcm.frames())));
        PcmSource source;
        QVERIFY(source.open(path));
        QVERIFY2(source.lengthFrames() == std::int64_t(pcm.frames()), name);
    }
}

void TestAudioFormats::contentDecidesOverExtension() {
    // A Wave file named .mp3 and an MP3 file named .wav play as what they are.
    const QString waveAsMp3 = m_dir.filePath("really_wave.mp3");
    const QString mp3AsWave = m_dir.filePath("really_mpeg.wav");
    const QString mp3AsRmp = m_dir.filePath("plain_mpeg.rmp");
    QVERIFY(QFile::copy(fixture("wave_s16_stereo.wav"), waveAsMp3));
    QVERIFY(QFile::copy(fixture("mpeg1_l3_cbr.mp3"), mp3AsWave));
    QVERIFY(QFile::copy(fixture("mpeg1_l3_cbr.mp3"), mp3AsRmp));
    QCOMPARE(decodeAll(waveAsMp3).samples, decodeAll(fixture("wave_s16_stereo.wav")).samples);
    const auto mp3 = decodeAll(fixture("mpeg1_l3_cbr.mp3")).samples;
    QCOMPARE(decodeAll(mp3AsWave).samples, mp3);
    QCOMPARE(decodeAll(mp3AsRmp).samples, mp3);
    // The RIFF-wrapped copy holds the same stream: same samples, and its LIST chunk
    // adds nothing.
    QCOMPARE(decodeAll(fixture("riff_wrapped.rmp")).samples, mp3);
    QCOMPARE(readFileInfo(mp3AsWave).TotalSec, 2);
}

void TestAudioFormats::seekingLandsOnTheRightSample() {
    for (const char* name : {"wave_u8_mono.wav", "mpeg1_l3_cbr.mp3", "mpeg1_l2.mp2"}) {
        const Decoded whole = decodeAll(fixture(name));
        PcmSource source;
        QVERIFY(source.open(fixture(name)));
        QVERIFY(source.seekSeconds(1));
        std::vector<float> after(2 * 1000);
        QCOMPARE(source.read(after.data(), 1000), std::int64_t(1000));
        const size_t from = size_t(2 * whole.rate);
        for (size_t i = 0; i < after.size(); ++i)
            QVERIFY2(std::fabs(after[i] - whole.samples[from + i]) < 1e-4f, name);
        // Past the end there is nothing to go to; the source stays usable.
        QVERIFY(!source.seekSeconds(100));
        QVERIFY(source.seekFrame(0));
        QCOMPARE(source.read(after.data(), 10), std::int64_t(10));
        QCOMPARE(after[0], whole.samples[0]);
    }
}

void TestAudioFormats::tagFieldsOfAFixture() {
    const ID3TagInfo tag = readFileInfo(fixture("mpeg1_l3_cbr.mp3")).tag;
    // ID3v1 fields are padded; the padding is NUL and cut, so the texts stand bare.
    QCOMPARE(tag.Title, QString("Title One"));
    QCOMPARE(tag.Artist, QString("Artist"));
    QCOMPARE(tag.Album, QString("Album"));
    QCOMPARE(tag.Year, QString("2001"));
    QCOMPARE(tag.Comment, QString("Comment"));
    QCOMPARE(tag.Genre, 17);
    QCOMPARE(tag.GenreName, QString("Rock"));
    // The RIFF-wrapped copy carries the tag at the end of its 'data' chunk.
    QCOMPARE(readFileInfo(fixture("riff_wrapped.rmp")).tag.Title, QString("Title One"));
    // Files without a tag give empty fields.
    const ID3TagInfo none = readFileInfo(fixture("mpeg2_l3_vbr.mp3")).tag;
    QVERIFY(none.Title.isEmpty() && none.GenreName.isEmpty());
    QCOMPARE(none.Genre, 0);
}

void TestAudioFormats::fileInfoFromManyThreads() {
    // The playlist reads file information on worker threads: each thread must get
    // the same answers as one thread alone.
    const QStringList names = QDir(fixture("")).entryList({"*.mp?", "*.wav", "*.rmp"});
    QVERIFY(names.size() >= 12);
    std::vector<FileInfo> expected;
    for (const QString& name : names)
        expected.push_back(readFileInfo(fixture(name)));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                for (qsizetype i = 0; i < names.size(); ++i) {
                    const qsizetype k = (i + t * 3) % names.size();
                    const FileInfo info = readFileInfo(fixture(names[k]));
                    if (info.TotalSec != expected[size_t(k)].TotalSec ||
                        info.tag.Title != expected[size_t(k)].tag.Title)
                        ++mismatches;
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(mismatches.load(), 0);
}

QTEST_GUILESS_MAIN(TestAudioFormats)
#include "tst_audio_formats.moc"
