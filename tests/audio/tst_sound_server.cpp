// The engine playing through a real PulseAudio server started here on a private runtime
// folder, into a null sink whose monitor parec records. What is heard is the decode,
// sample for sample, at the level the volume gives it, and the engine's position stays
// close to what the server has played. The server is killed mid-song: the song goes on
// silently (seeking and switching songs work meanwhile), and once a server is back the
// song is heard again without anything done. A suspended sink stops nothing either.
#include "AudioTestFiles.h"
#include "TestWave.h"

#include "audio/AudioEngine.h"
#include "audio/PlaybackCore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>

using namespace pelto;
using namespace pelto::test;

namespace {

constexpr int kRate = 44100;

// The frame a sample of the test song came from, modulo 16384: the song's samples count
// the frames up, the left channel positive and the right negative.
qint16 sampleOfFrame(qint64 frame) {
    return qint16(1 + frame % 16384);
}

// A PulseAudio server with one null sink "out", and a recording of its monitor.
class SoundServer {
public:
    explicit SoundServer(const QString& runtime) : m_runtime(runtime) {}
    ~SoundServer() {
        stopRecording();
        kill();
    }

    bool start() {
        m_server.setProcessEnvironment(environment());
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start("pulseaudio",
                       {"--daemonize=no", "-n", "--exit-idle-time=-1", "--disallow-exit",
                        "--log-level=error", "-L", "module-native-protocol-unix", "-L",
                        "module-null-sink sink_name=out rate=44100"});
        return m_server.waitForStarted(5000) &&
               QTest::qWaitFor([&] { return pactl({"info"}).contains("Server Name"); }, 10000);
    }
    void kill() {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.kill();
        m_server.waitForFinished(5000);
    }
    QString pactl(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start("pactl", args);
        return p.waitForFinished(5000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

    bool record(const QString& file) {
        stopRecording();
        m_recording.setProcessEnvironment(environment());
        m_recording.setStandardOutputFile(file);
        m_recording.start("parec", {"-d", "out.monitor", "--format=float32le", "--channels=2",
                                    "--rate=44100", "--latency-msec=10", "--raw"});
        // The monitor gives its first block a moment after parec connects.
        return m_recording.waitForStarted(5000) &&
               QTest::qWaitFor([&] { return QFileInfo(file).size() > 0; }, 10000);
    }
    void stopRecording() {
        if (m_recording.state() == QProcess::NotRunning)
            return;
        m_recording.terminate();
        m_recording.waitForFinished(5000);
    }

    QString address() const { return "unix:" + m_runtime + "/pulse/native"; }

private:
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_runtime);
        env.insert("HOME", m_runtime);
        env.insert("PULSE_SERVER", address());
        return env;
    }

    QString m_runtime;
    QProcess m_server;
    QProcess m_recording;
};

std::vector<float> recorded(const QString& file) {
    return floatsOf(readFile(file));
}

// The index of the first frame that is not silent, or -1.
qint64 firstSound(const std::vector<float>& samples, qint64 from = 0) {
    for (qint64 frame = from; frame < qint64(samples.size() / 2); ++frame)
        if (std::abs(samples[size_t(2 * frame)]) > 1e-6f)
            return frame;
    return -1;
}

} // namespace

class TestSoundServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void heardAsDecodedAndThroughAServerRestart();

private:
    QTemporaryDir m_dir;
    QString m_song, m_other;
};

void TestSoundServer::initTestCase() {
    for (const char* tool : {"pulseaudio", "pactl", "parec"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkdir("run"));
    QFile::setPermissions(m_dir.filePath("run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_song = m_dir.filePath("count.wav");
    m_other = m_dir.filePath("other.wav");
    QVERIFY(writeWave(m_song, kRate, 2, qint64(kRate) * 40, sampleOfFrame));
    QVERIFY(writeWave(m_other, kRate, 2, qint64(kRate) * 40, [](qint64) { return qint16(8000); }));
}

void TestSoundServer::heardAsDecodedAndThroughAServerRestart() {
    const QString runtime = m_dir.filePath("run");
    SoundServer server(runtime);
    QVERIFY2(server.start(), "pulseaudio did not start");
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    const QString first = m_dir.filePath("first.raw");
    QVERIFY(server.record(first));

    AudioEngine engine;
    QVERIFY(engine.open(m_song));
    engine.play();
    QTest::qWait(2000);
    QVERIFY(!engine.isSilent());
    const std::int64_t engineMs = engine.playedMilliseconds();
    // What the server holds between what the engine gave it and what is heard.
    const QString latency = server.pactl({"list", "sink-inputs"});
    server.stopRecording();
    const std::vector<float> heard = recorded(first);
    const qint64 start = firstSound(heard);
    QVERIFY2(start >= 0, "nothing was heard");
    const qint64 frames = qint64(heard.size() / 2) - start;
    QVERIFY2(
        frames > kRate / 2,
        qPrintable(QString("%1 frames recorded, sound from %2").arg(heard.size() / 2).arg(start)));
    // The decode, sample for sample, in order: each frame heard is the song's frame
    // after the one before (the samples count the frames). Silence (a machine too busy to
    // feed the server in time) is left out, and so are frames the recording itself lost
    // under load, which shows as a jump forward; a frame played twice or out of order
    // would show as a step back.
    const std::vector<float> sound = withoutSilentFrames(heard);
    qint64 previous = std::lround(sound[0] * 32768.0f), jumps = 0; // frames skipped
    for (size_t i = 1; i < sound.size() / 2; ++i) {
        const long got = std::lround(sound[2 * i] * 32768.0f);
        const qint64 step = (got - previous + 16384) % 16384;
        QVERIFY2(
            step >= 1 && step < 8192,
            qPrintable(QString("heard frame %1 is %2 after %3").arg(i).arg(got).arg(previous)));
        jumps += step - 1;
        QCOMPARE(std::lround(sound[2 * i + 1] * 32768.0f), got);
        previous = got;
    }
    qInfo("%lld frames heard, %lld lost by the recording", qlonglong(sound.size() / 2), jumps);
    QVERIFY2(jumps * 20 < qint64(sound.size() / 2),
             qPrintable(QString("%1 frames lost in %2").arg(jumps).arg(sound.size() / 2)));
    qInfo("position %lld ms after 2 s of play; the server's buffer %s, its sink %s",
          qlonglong(engineMs),
          qPrintable(latency.section("Buffer Latency: ", 1, 1).section(u'\n', 0, 0)),
          qPrintable(latency.section("Sink Latency: ", 1, 1).section(u'\n', 0, 0)));
    QVERIFY(engineMs > 1000 && engineMs < 2500);

    // Half the volume on the left: heard at the gain the engine gives it.
    engine.setVolume(0xFFFF0000u | 0x7FFFu);
    const QString halved = m_dir.filePath("halved.raw");
    QVERIFY(server.record(halved));
    QTest::qWait(1000);
    server.stopRecording();
    const std::vector<float> quiet = recorded(halved);
    QVERIFY(quiet.size() > 4096);
    const qint64 at = qint64(quiet.size() / 2) - 1;
    const float gain = gainsFromVolume(0xFFFF0000u | 0x7FFFu).left;
    QCOMPARE(std::lround(quiet[size_t(2 * at)] / gain * 32768.0f),
             std::lround(quiet[size_t(2 * at + 1)] * 32768.0f));
    engine.setVolume(0xFFFFFFFFu);

    // The server goes away mid-song: the song goes on silently, and controls work.
    server.kill();
    QElapsedTimer clock;
    clock.start();
    const std::int64_t before = engine.playedMilliseconds();
    QTest::qWait(1500);
    int position = 0;
    QCOMPARE(engine.state(position), PlayState::Playing);
    QVERIFY(engine.isSilent());
    QVERIFY2(engine.playedMilliseconds() - before > 1000, "the song's time stood still");
    engine.seek(20);
    QTest::qWait(300);
    engine.state(position);
    QVERIFY(position >= 20);
    QVERIFY(engine.open(m_other));
    engine.play();
    QCOMPARE(engine.state(position), PlayState::Playing);

    // A server again: the engine's next try of the device finds it, and the song is heard.
    clock.restart();
    QVERIFY2(server.start(), "pulseaudio did not start again");
    const qint64 serverUp = clock.elapsed();
    QVERIFY2(QTest::qWaitFor([&] { return !engine.isSilent(); }, 10000),
             "the engine did not find the device again");
    qInfo("the server took %lld ms to start; the engine played into it %lld ms later",
          qlonglong(serverUp), qlonglong(clock.elapsed() - serverUp));
    const QString second = m_dir.filePath("second.raw");
    QVERIFY(server.record(second));
    QVERIFY2(QTest::qWaitFor([&] { return firstSound(recorded(second)) >= 0; }, 10000),
             "the song was not heard after the server came back");
    const std::vector<float> back = recorded(second);
    QCOMPARE(std::lround(back[size_t(2 * firstSound(back))] * 32768.0f), 8000L);

    // A suspended sink holds neither the clock nor a control.
    QVERIFY(server.pactl({"list", "sinks"}).contains("out"));
    server.pactl({"suspend-sink", "out", "1"});
    const std::int64_t suspendedAt = engine.playedMilliseconds();
    QTest::qWait(2000);
    engine.pause();
    engine.restart();
    qInfo("while the sink was suspended the song's time went on by %lld ms",
          qlonglong(engine.playedMilliseconds() - suspendedAt));
    QVERIFY(engine.playedMilliseconds() - suspendedAt > 1000);
    // And once the sink runs again, it is heard again.
    server.pactl({"suspend-sink", "out", "0"});
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     return server.pactl({"list", "sinks"}).contains("RUNNING");
                 },
                 10000),
             "the sink did not run again");
    const QString third = m_dir.filePath("third.raw");
    QVERIFY(server.record(third));
    QVERIFY2(QTest::qWaitFor([&] { return firstSound(recorded(third)) >= 0; }, 10000),
             "the song was not heard after the sink ran again");
    engine.stop();
    engine.close();
}

QTEST_GUILESS_MAIN(TestSoundServer)
#include "tst_sound_server.moc"
