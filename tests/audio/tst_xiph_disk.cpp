// What the engine hands the device for FLAC, Ogg Vorbis and Opus, captured by SDL's
// disk driver: the reference decode of the format's own tool (flac -d, oggdec,
// opusdec) sample for sample, mono on both sides; and a seek made while playing is
// heard from its exact frame on.
#include "AudioTestFiles.h"
#include "XiphTestFiles.h"

#include "audio/AudioEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace pelto;
using namespace pelto::test;

namespace {

bool waitForTheEnd(AudioEngine& engine) {
    QElapsedTimer clock;
    clock.start();
    int position = 0;
    while (engine.state(position) != PlayState::Stopped) {
        if (clock.elapsed() > 30000)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// Where `part` (stereo frames) stands in `played`, to within `tolerance` a sample;
// -1 when nowhere.
qsizetype findFrames(const std::vector<float>& played, const std::vector<float>& part,
                     float tolerance) {
    for (size_t at = 0; at + part.size() <= played.size(); at += 2) {
        size_t i = 0;
        while (i < part.size() && std::fabs(played[at + i] - part[i]) <= tolerance)
            ++i;
        if (i == part.size())
            return qsizetype(at / 2);
    }
    return -1;
}

} // namespace

class TestXiphDisk : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void playedAsTheFormatsOwnToolDecodes_data();
    void playedAsTheFormatsOwnToolDecodes();
    void seekIsHeardFromItsFrame_data();
    void seekIsHeardFromItsFrame();

private:
    QString m_out;
    QTemporaryDir m_dir;
};

void TestXiphDisk::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_out = m_dir.filePath("played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_out.toLocal8Bit());
}

void TestXiphDisk::playedAsTheFormatsOwnToolDecodes_data() {
    addReferenceCases();
}

void TestXiphDisk::playedAsTheFormatsOwnToolDecodes() {
    QFETCH(Xiph, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    // About five times real time: fast, and still a pace the decode thread keeps ahead of.
    qputenv("SDL_DISKAUDIODELAY", "5");
    const QString wave = m_dir.filePath("source.wav");
    const QString path = m_dir.filePath(QStringLiteral("song") + extensionOf(format));
    QVERIFY(makeSourceWave(wave, rate, channels, bits, 2.34567));
    QVERIFY(encode(format, wave, path));
    const Pcm reference = referenceDecode(format, path);
    QVERIFY(reference.frames() > 2 * 44100);
    const std::vector<float> expected = reference.stereo();

    {
        // The driver writes its file until the device closes, with the engine.
        AudioEngine engine;
        engine.setVolume(0xFFFFFFFF); // both gains exactly 1
        QVERIFY(engine.open(path));
        engine.play();
        QVERIFY(waitForTheEnd(engine));
    }
    std::vector<float> played = floatsOf(readFile(m_out));
    // SDL's device thread writes silence from the moment the device opens until it is
    // started; the song begins after that.
    const size_t lead =
        leadingSilence(played) - std::min(leadingSilence(played), leadingSilence(expected));
    played.erase(played.begin(), played.begin() + std::ptrdiff_t(lead));
    QVERIFY(played.size() >= expected.size());
    const float tolerance = referenceTolerance(format) * 1.0001f;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (std::fabs(played[i] - expected[i]) > tolerance)
            QFAIL(qPrintable(QStringLiteral("frame %1 differs: %2 played, %3 decoded by the tool")
                                 .arg(i / 2)
                                 .arg(double(played[i]))
                                 .arg(double(expected[i]))));
    }
    // After the last sample only silence (the rest of the last buffers).
    for (size_t i = expected.size(); i < played.size(); ++i)
        QCOMPARE(played[i], 0.0f);
}

void TestXiphDisk::seekIsHeardFromItsFrame_data() {
    QTest::addColumn<Xiph>("format");
    QTest::newRow("FLAC") << Xiph::Flac;
    QTest::newRow("Vorbis") << Xiph::Vorbis;
    QTest::newRow("Opus") << Xiph::Opus;
}

// Playing, the song is sought to its fourth second: the device hears the frames of
// the reference decode from that very frame on, and the position says 4 s.
void TestXiphDisk::seekIsHeardFromItsFrame() {
    QFETCH(Xiph, format);
    qputenv("SDL_DISKAUDIODELAY", "10"); // near real time, so the seek falls mid-song
    const QString wave = m_dir.filePath("seek.wav");
    const QString path = m_dir.filePath(QStringLiteral("seek") + extensionOf(format));
    QVERIFY(makeSourceWave(wave, 44100, 2, 16, 5.5));
    QVERIFY(encode(format, wave, path));
    const Pcm reference = referenceDecode(format, path);
    const std::vector<float> expected = reference.stereo();
    const size_t target = size_t(4) * size_t(reference.rate);
    {
        AudioEngine engine;
        engine.setVolume(0xFFFFFFFF);
        QVERIFY(engine.open(path));
        engine.play();
        QTest::qWait(300);
        engine.seek(4);
        const std::int64_t heard = engine.playedMilliseconds();
        QVERIFY2(heard >= 4000 && heard < 4050, qPrintable(QString::number(heard)));
        QVERIFY(waitForTheEnd(engine));
    }
    const std::vector<float> played = floatsOf(readFile(m_out));
    // The first tenth of a second after the target, as the tool decodes it.
    const std::vector<float> after(expected.begin() + std::ptrdiff_t(2 * target),
                                   expected.begin() + std::ptrdiff_t(2 * target + 2 * 4410));
    const qsizetype at = findFrames(played, after, referenceTolerance(format) * 1.0001f);
    QVERIFY2(at > 0, "the frames after the target are heard");
    // What comes before them is the start of the song: the seek skipped to the target,
    // not near it.
    const std::vector<float> before(played.begin() + std::ptrdiff_t(2 * at - 2 * 256),
                                    played.begin() + std::ptrdiff_t(2 * at));
    QVERIFY(findFrames(
                std::vector<float>(expected.begin(), expected.begin() + std::ptrdiff_t(2 * target)),
                before, referenceTolerance(format) * 1.0001f) >= 0 ||
            peak(before) == 0.0f);
    // And everything from the target to the end follows.
    const size_t rest = expected.size() - 2 * target;
    QVERIFY(played.size() >= size_t(2 * at) + rest);
    for (size_t i = 0; i < rest; ++i)
        if (std::fabs(played[size_t(2 * at) + i] - expected[2 * target + i]) >
            referenceTolerance(format) * 1.0001f)
            QFAIL(qPrintable(QStringLiteral("frame %1 after the seek differs").arg(i / 2)));
}

QTEST_GUILESS_MAIN(TestXiphDisk)
#include "tst_xiph_disk.moc"
