// The engine as the player drives it, playing in real time through SDL's dummy
// driver: states and heard position through play, pause, restart, seek, stop and the
// end of a song, also across a pause long enough for the device to be let go; then the
// silent output that stands in when no device opens.
#include "AudioTestFiles.h"
#include "ThreadProbe.h"

#include "audio/AudioEngine.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <vector>

using namespace pelto;
using namespace pelto::test;

namespace {

PlayState stateOf(AudioEngine& engine) {
    int position = -1;
    return engine.state(position);
}

int positionOf(AudioEngine& engine) {
    int position = -1;
    engine.state(position);
    return position;
}

// Waits until the song has ended; the milliseconds it took, or -1 after `limitMs`.
qint64 waitForEnd(AudioEngine& engine, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        if (stateOf(engine) == PlayState::Stopped)
            return clock.elapsed();
        QTest::qWait(10);
    }
    return -1;
}

// Waits until the heard position reaches `seconds`; the time on `clock` then, or -1
// after `limitMs`.
qint64 waitForPosition(AudioEngine& engine, int seconds, const QElapsedTimer& clock, int limitMs) {
    while (clock.elapsed() < limitMs) {
        if (positionOf(engine) >= seconds)
            return clock.elapsed();
        QTest::qWait(5);
    }
    return -1;
}

// How far the heard position is from the time since play started, as the median of
// a few readings (a reading may be late when the machine is busy).
qint64 medianLag(AudioEngine& engine, const QElapsedTimer& sincePlay, qint64 pausedMs = 0) {
    std::vector<qint64> lags;
    for (int i = 0; i < 7; ++i) {
        lags.push_back(sincePlay.elapsed() - pausedMs - engine.playedMilliseconds());
        QTest::qWait(37);
    }
    std::nth_element(lags.begin(), lags.begin() + 3, lags.end());
    return lags[3];
}

} // namespace

class TestAudioEngine : public QObject {
    Q_OBJECT

private slots:
    void playsToTheEndInRealTime();
    void pauseAndRestartHoldThePosition();
    void longPauseLetsTheDeviceGoAndRestartGoesOn();
    void seekMovesThePositionAndPastTheEndEnds();
    void stopAndPlayAgainStartFromTheBeginning();
    void failuresLeaveTheEngineStopped();
    void silentOutputWithoutADevice();
};

void TestAudioEngine::playsToTheEndInRealTime() {
    AudioEngine engine;
    QVERIFY(engine.open(fixture("wave_u8_mono.wav"))); // 1.5 s
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    QElapsedTimer sincePlay;
    sincePlay.start();
    engine.play();
    QCOMPARE(stateOf(engine), PlayState::Playing);
    QCOMPARE(positionOf(engine), 0);
    QTest::qWait(300);
    const qint64 lag = medianLag(engine, sincePlay);
    QVERIFY2(lag > -100 && lag < 100, qPrintable(QString::number(lag)));
    const qint64 oneSecond = waitForPosition(engine, 1, sincePlay, 3000);
    // SDL's dummy driver waits whole milliseconds per buffer, so it runs up to 2%
    // fast: the bounds allow for that.
    QVERIFY2(oneSecond >= 950 && oneSecond < 1300, qPrintable(QString::number(oneSecond)));
    QVERIFY(waitForEnd(engine, 3000) >= 0);
    const qint64 end = sincePlay.elapsed();
    QVERIFY2(end >= 1450 && end < 2000, qPrintable(QString::number(end)));
    QVERIFY(!engine.isSilent());
}

void TestAudioEngine::pauseAndRestartHoldThePosition() {
    AudioEngine engine;
    QVERIFY(engine.open(fixture("mpeg1_l3_cbr.mp3"))); // 2.5 s
    QElapsedTimer sincePlay;
    sincePlay.start();
    engine.play();
    QTest::qWait(400);
    engine.pause();
    QCOMPARE(stateOf(engine), PlayState::Paused);
    QTest::qWait(60); // the buffer in flight plays out
    const qint64 held = engine.playedMilliseconds();
    QVERIFY(held >= 300 && held <= 500);
    QTest::qWait(400);
    QCOMPARE(engine.playedMilliseconds(), held);
    QCOMPARE(stateOf(engine), PlayState::Paused);
    engine.restart();
    QCOMPARE(stateOf(engine), PlayState::Playing);
    // Playing goes on from where it paused: the position keeps the pause's time out.
    const qint64 pausedFor = sincePlay.elapsed() - held;
    const qint64 lag = medianLag(engine, sincePlay, pausedFor - 60);
    QVERIFY2(lag > -150 && lag < 150, qPrintable(QString::number(lag)));
    // Restart while playing and pause while paused change nothing.
    engine.restart();
    QCOMPARE(stateOf(engine), PlayState::Playing);
    engine.pause();
    engine.pause();
    QCOMPARE(stateOf(engine), PlayState::Paused);
}

void TestAudioEngine::longPauseLetsTheDeviceGoAndRestartGoesOn() {
    AudioEngine engine;
    QVERIFY(engine.open(fixture("mpeg1_l3_cbr.mp3"))); // 2.5 s
    engine.play();
    QTest::qWait(300);
    engine.pause();
    QTest::qWait(60); // the buffer in flight plays out
    const qint64 held = engine.playedMilliseconds();
    QCOMPARE(threadsNamed("SDLAudio"), 1);
    QTRY_COMPARE_WITH_TIMEOUT(threadsNamed("SDLAudio"), 0, 3000);
    QCOMPARE(stateOf(engine), PlayState::Paused);
    QCOMPARE(engine.playedMilliseconds(), held);
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    engine.restart();
    QTRY_COMPARE(threadsNamed("SDLAudio"), 1); // it names itself once it runs
    // The rest of the song plays, from where it paused.
    const qint64 end = waitForEnd(engine, 4000);
    const qint64 rest = 2500 - held;
    QVERIFY2(end >= rest - 100 && end < rest + 400,
             qPrintable(QString("%1 ms for %2 ms").arg(end).arg(rest)));
}

void TestAudioEngine::seekMovesThePositionAndPastTheEndEnds() {
    AudioEngine engine;
    QVERIFY(engine.open(fixture("mpeg1_l3_cbr.mp3"))); // 2.5 s
    engine.play();
    QTest::qWait(100);
    engine.seek(2);
    QCOMPARE(positionOf(engine), 2);
    QCOMPARE(stateOf(engine), PlayState::Playing);
    // Half a second is left after the seek.
    const qint64 end = waitForEnd(engine, 3000);
    QVERIFY2(end >= 400 && end < 900, qPrintable(QString::number(end)));

    // A seek while paused moves the position and stays paused; back to 0 works too.
    engine.play();
    engine.pause();
    engine.seek(1);
    QCOMPARE(positionOf(engine), 1);
    QCOMPARE(stateOf(engine), PlayState::Paused);
    engine.seek(0);
    QCOMPARE(positionOf(engine), 0);
    engine.restart();
    QCOMPARE(stateOf(engine), PlayState::Playing);

    // Past the end the song ends at once.
    engine.seek(3);
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    engine.play();
    engine.seek(1000);
    QCOMPARE(stateOf(engine), PlayState::Stopped);
}

void TestAudioEngine::stopAndPlayAgainStartFromTheBeginning() {
    AudioEngine engine;
    QVERIFY(engine.open(fixture("mpeg1_l2.mp2")));
    QElapsedTimer sincePlay;
    sincePlay.start();
    engine.play();
    const qint64 oneSecond = waitForPosition(engine, 1, sincePlay, 3000);
    QVERIFY2(oneSecond >= 950, qPrintable(QString::number(oneSecond)));
    engine.stop();
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    QCOMPARE(positionOf(engine), 0);
    engine.seek(1); // ignored while stopped
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    engine.play();
    QCOMPARE(stateOf(engine), PlayState::Playing);
    QCOMPARE(positionOf(engine), 0);
    QTest::qWait(200);
    QCOMPARE(positionOf(engine), 0);
    // Opening another song stops this one.
    QVERIFY(engine.open(fixture("wave_s16_stereo.wav")));
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    engine.play();
    QVERIFY(waitForEnd(engine, 2000) >= 0);
}

void TestAudioEngine::failuresLeaveTheEngineStopped() {
    AudioEngine engine;
    QVERIFY(!engine.open(fixture("no_such_file.mp3")));
    engine.play();
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    QVERIFY(engine.open(fixture("wave_s16_stereo.wav")));
    engine.play();
    // A failed open releases the song that was open.
    QVERIFY(!engine.open(fixture("make_fixtures.sh")));
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    engine.play();
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    // After close there is nothing to play; close twice is harmless.
    QVERIFY(engine.open(fixture("wave_s16_stereo.wav")));
    engine.close();
    engine.close();
    engine.play();
    engine.pause();
    engine.restart();
    QCOMPARE(stateOf(engine), PlayState::Stopped);
    // File information does not need the file to be open.
    QCOMPARE(engine.fileInfo(fixture("mpeg1_l3_cbr.mp3")).TotalSec, 2);
}

void TestAudioEngine::silentOutputWithoutADevice() {
    // No driver of that name: SDL's audio cannot start, as on a machine without sound.
    qputenv("SDL_AUDIODRIVER", "no_such_driver");
    AudioEngine engine;
    QVERIFY(engine.open(fixture("wave_u8_mono.wav")));
    QElapsedTimer sincePlay;
    sincePlay.start();
    engine.play();
    QVERIFY(engine.isSilent());
    QCOMPARE(stateOf(engine), PlayState::Playing);
    QTest::qWait(300);
    const qint64 lag = medianLag(engine, sincePlay);
    QVERIFY2(lag > -100 && lag < 100, qPrintable(QString::number(lag)));
    engine.pause();
    QCOMPARE(stateOf(engine), PlayState::Paused);
    engine.restart();
    QVERIFY(waitForEnd(engine, 3000) >= 0);
    const qint64 end = sincePlay.elapsed();
    QVERIFY2(end >= 1450 && end < 2000, qPrintable(QString::number(end)));
    qputenv("SDL_AUDIODRIVER", "dummy");
}

QTEST_GUILESS_MAIN(TestAudioEngine)
#include "tst_audio_engine.moc"
