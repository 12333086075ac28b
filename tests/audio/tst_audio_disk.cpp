// What the engine hands the device, captured by SDL's disk driver: exactly the
// decoded samples times the channel gains of the volume, with nothing dropped or
// repeated around a pause, and one device for a run of songs.
#include "AudioTestFiles.h"
#include "ThreadProbe.h"

#include "audio/AudioEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <vector>

using namespace pelto;
using namespace pelto::test;

namespace {

bool playToTheEnd(AudioEngine& engine, const QString& path) {
    if (!engine.open(path))
        return false;
    engine.play();
    QElapsedTimer clock;
    clock.start();
    int position = 0;
    while (engine.state(position) != PlayState::Stopped) {
        if (clock.elapsed() > 20000)
            return false;
        QTest::qWait(5);
    }
    return true;
}

} // namespace

class TestAudioDisk : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void playedSamplesAreDecodedTimesGains_data();
    void playedSamplesAreDecodedTimesGains();
    void pauseNeitherDropsNorRepeats();
    void songsFollowOnOneDeviceThatClosesOnceIdle();

private:
    QString m_out;
    QTemporaryDir m_dir;
};

void TestAudioDisk::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_out = m_dir.filePath("played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_out.toLocal8Bit());
}

void TestAudioDisk::playedSamplesAreDecodedTimesGains_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("volume");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("right");
    const struct {
        const char* step;
        quint32 value;
    } steps[] = {{"0", 0x00000000}, {"13", 0x77707770}, {"16", 0x87778800}, {"31", 0xFFFFFFFF}};
    for (const char* name : {"wave_s16_stereo.wav", "mpeg2_l3_vbr.mp3"})
        for (const auto& s : steps)
            QTest::addRow("%s step %s", name, s.step)
                << QString(name) << s.value << float(s.value & 0xFFFF) / 65535.0f
                << float(s.value >> 16) / 65535.0f;
}

void TestAudioDisk::playedSamplesAreDecodedTimesGains() {
    QFETCH(QString, name);
    QFETCH(quint32, volume);
    QFETCH(float, left);
    QFETCH(float, right);
    // About five times real time: fast, and still a pace the decode thread keeps ahead of.
    qputenv("SDL_DISKAUDIODELAY", "5");
    const Decoded pcm = decodeAll(fixture(name));
    QVERIFY(pcm.frames() > 0);

    {
        // The driver writes its file until the device closes, with the engine.
        AudioEngine engine;
        engine.setVolume(volume);
        QVERIFY(playToTheEnd(engine, fixture(name)));
    }
    std::vector<float> expected = pcm.samples;
    for (size_t i = 0; i < expected.size(); i += 2) {
        expected[i] *= left;
        expected[i + 1] *= right;
    }
    std::vector<float> played = floatsOf(readFile(m_out));
    // SDL's device thread writes silence from the moment the device opens until it is
    // started; the song begins after that.
    const size_t lead =
        leadingSilence(played) - std::min(leadingSilence(played), leadingSilence(expected));
    played.erase(played.begin(), played.begin() + std::ptrdiff_t(lead));
    QVERIFY(played.size() >= expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        if (played[i] != expected[i])
            QFAIL(qPrintable(QString("frame %1 differs").arg(i / 2)));
    }
    // After the last sample only silence (the rest of the last buffers).
    for (size_t i = expected.size(); i < played.size(); ++i)
        QCOMPARE(played[i], 0.0f);
    // The gains are what the step says: step 16 is louder on the left.
    if (volume == 0x87778800u)
        QVERIFY(left > right);
}

void TestAudioDisk::pauseNeitherDropsNorRepeats() {
    qputenv("SDL_DISKAUDIODELAY", "10"); // near real time, so the pause falls mid-song
    const QString name = fixture("mpeg1_l3_cbr.mp3");
    const Decoded pcm = decodeAll(name);
    {
        AudioEngine engine;
        QVERIFY(engine.open(name));
        engine.play();
        for (int i = 0; i < 3; ++i) {
            QTest::qWait(150);
            engine.pause();
            QTest::qWait(100);
            engine.restart();
        }
        QElapsedTimer clock;
        clock.start();
        int position = 0;
        while (engine.state(position) != PlayState::Stopped && clock.elapsed() < 20000)
            QTest::qWait(5);
    }
    const std::vector<float> played = floatsOf(readFile(m_out));
    QVERIFY(played.size() > pcm.samples.size()); // the pauses added silence
    QVERIFY(withoutSilentFrames(played) == withoutSilentFrames(pcm.samples));
}

void TestAudioDisk::songsFollowOnOneDeviceThatClosesOnceIdle() {
    qputenv("SDL_DISKAUDIODELAY", "5");
    const char* songs[] = {"mpeg1_l3_cbr.mp3", "wave_s16_stereo.wav"}; // both 44.1 kHz
    std::vector<float> expected;
    for (const char* name : songs) {
        const std::vector<float> frames = withoutSilentFrames(decodeAll(fixture(name)).samples);
        expected.insert(expected.end(), frames.begin(), frames.end());
    }
    {
        AudioEngine engine;
        for (const char* name : songs) {
            // As the player goes from one song to the next.
            engine.stop();
            engine.close();
            QVERIFY(playToTheEnd(engine, fixture(name)));
        }
        // Once nothing plays, the device and its thread go, and the decode thread sleeps.
        QTRY_COMPARE_WITH_TIMEOUT(threadsNamed("SDLAudio"), 0, 3000);
        const qint64 switches = contextSwitchesOf("pelto-decode");
        QTest::qWait(500);
        QCOMPARE(contextSwitchesOf("pelto-decode"), switches);
    }
    // The driver starts its file afresh for every device it opens: both songs in it
    // means they played on one device.
    QVERIFY(withoutSilentFrames(floatsOf(readFile(m_out))) == expected);
}

QTEST_GUILESS_MAIN(TestAudioDisk)
#include "tst_audio_disk.moc"
