// The engine playing through a real sound server started here on a private runtime
// folder (PulseAudio, and PipeWire with its PulseAudio service, through SDL's pulseaudio
// driver and its pipewire one), into a null sink whose monitor parec records. What is
// heard is the decode, sample for sample, at the level each volume step gives it, and
// the engine's position stays within 100 ms of what the server has played. The server is killed
// mid-song: the song goes on silently (seeking and switching songs work meanwhile), and once a
// server is back the song is heard again without anything done. A suspended sink stops nothing
// either.
#include "AudioTestFiles.h"
#include "TestWave.h"

#include "audio/AudioEngine.h"
#include "audio/PlaybackCore.h"
#include "player/VolumeControl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <memory>
#include <vector>

using namespace pelto;
using namespace pelto::test;

namespace {

constexpr int kRate = 44100;

// The frame a sample of the test song came from, modulo 16384: the song's samples count
// the frames up, the left channel positive and the right negative.
qint16 sampleOfFrame(qint64 frame) {
    return qint16(1 + frame % 16384);
}

// A sound server with one null sink "out" as the default sink, and a recording of its
// monitor: PulseAudio, or PipeWire with its session manager and PulseAudio service.
class SoundServer {
public:
    SoundServer(const QString& kind, const QString& runtime) : m_kind(kind), m_runtime(runtime) {}
    ~SoundServer() {
        stopRecording();
        kill();
    }

    bool start() {
        if (m_kind == "pulseaudio") {
            if (!launch("pulseaudio",
                        {"--daemonize=no", "-n", "--exit-idle-time=-1", "--disallow-exit",
                         "--log-level=error", "-L", "module-native-protocol-unix", "-L",
                         "module-null-sink sink_name=out rate=44100"}))
                return false;
        } else {
            // The graph runs at the song's rate, so that nothing is resampled; the session
            // manager needs a session bus, and the server's socket before it.
            const QString conf = m_runtime + "/config/pipewire/pipewire.conf.d";
            // A killed server leaves its socket behind.
            QFile::remove(m_runtime + "/pipewire-0");
            QFile::remove(m_runtime + "/pipewire-0.lock");
            if (!QDir().mkpath(conf) ||
                !writeFile(conf + "/rate.conf", "context.properties = { default.clock.rate = 44100 "
                                                "default.clock.allowed-rates = [ 44100 ] }\n") ||
                !startBus() || !launch("pipewire", {}) ||
                !QTest::qWaitFor([&] { return QFileInfo::exists(m_runtime + "/pipewire-0"); },
                                 10000) ||
                !launch("wireplumber", {}) || !launch("pipewire-pulse", {}))
                return false;
        }
        if (!QTest::qWaitFor([&] { return pactl({"info"}).contains("Server Name"); }, 10000))
            return false;
        if (m_kind != "pulseaudio")
            pactl({"load-module", "module-null-sink", "sink_name=out", "rate=44100"});
        pactl({"set-default-sink", "out"});
        return QTest::qWaitFor([&] { return pactl({"info"}).contains("Default Sink: out"); },
                               10000);
    }
    void kill() {
        for (auto& process : m_processes) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->kill();
            process->waitForFinished(5000);
        }
        m_processes.clear();
        m_bus.clear();
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
    bool startBus() {
        if (!m_bus.isEmpty())
            return true;
        auto& bus = m_processes.emplace_back(std::make_unique<QProcess>());
        bus->setProcessEnvironment(environment());
        bus->start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!bus->waitForStarted(5000) ||
            !QTest::qWaitFor([&] { return bus->canReadLine(); }, 10000))
            return false;
        m_bus = QString::fromUtf8(bus->readLine()).trimmed();
        return !m_bus.isEmpty();
    }
    bool launch(const QString& program, const QStringList& args) {
        auto& process = m_processes.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(m_runtime + "/" + program + ".log", QIODevice::Append);
        process->start(program, args);
        return process->waitForStarted(5000);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_runtime);
        env.insert("HOME", m_runtime);
        env.insert("PULSE_SERVER", address());
        env.insert("XDG_CONFIG_HOME", m_runtime + "/config");
        if (!m_bus.isEmpty())
            env.insert("DBUS_SESSION_BUS_ADDRESS", m_bus);
        return env;
    }

    QString m_kind;
    QString m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QString m_bus;
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
    void heardAsDecodedAndThroughAServerRestart_data();
    void heardAsDecodedAndThroughAServerRestart();

private:
    QTemporaryDir m_dir;
    QString m_song, m_other;
};

void TestSoundServer::initTestCase() {
    for (const char* tool : {"pactl", "parec"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QVERIFY(m_dir.isValid());
    m_song = m_dir.filePath("count.wav");
    m_other = m_dir.filePath("other.wav");
    QVERIFY(writeWave(m_song, kRate, 2, qint64(kRate) * 40, sampleOfFrame));
    QVERIFY(writeWave(m_other, kRate, 2, qint64(kRate) * 40, [](qint64) { return qint16(8000); }));
}

void TestSoundServer::heardAsDecodedAndThroughAServerRestart_data() {
    QTest::addColumn<QString>("kind");   // the server
    QTest::addColumn<QString>("driver"); // SDL's audio driver
    QTest::newRow("PulseAudio") << "pulseaudio"
                                << "pulseaudio";
    QTest::newRow("PipeWire, pulseaudio driver") << "pipewire"
                                                 << "pulseaudio";
    QTest::newRow("PipeWire, pipewire driver") << "pipewire"
                                               << "pipewire";
}

void TestSoundServer::heardAsDecodedAndThroughAServerRestart() {
    QFETCH(QString, kind);
    QFETCH(QString, driver);
    const QStringList programs = kind == "pulseaudio"
                                     ? QStringList{"pulseaudio"}
                                     : QStringList{"pipewire", "wireplumber", "pipewire-pulse"};
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP(qPrintable(program + " is not installed"));
    const QString runtime = m_dir.filePath(QString("run-%1-%2").arg(kind, driver));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    SoundServer server(kind, runtime);
    QVERIFY2(server.start(), qPrintable(kind + " did not start"));
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());
    qputenv("SDL_AUDIODRIVER", driver.toLocal8Bit());
    const QString first = runtime + "/first.raw";
    QVERIFY(server.record(first));

    AudioEngine engine;
    QVERIFY(engine.open(m_song));
    engine.play();
    QTest::qWait(1000);
    if (engine.isSilent() && driver == "pipewire")
        QSKIP("SDL has no working pipewire driver here");
    QVERIFY(!engine.isSilent());
    // The position against what the server has played: the last frame the monitor's
    // recording holds is the one heard last (parec's own latency is 10 ms), and the
    // counting samples name it, modulo 16384 frames (372 ms) around the engine's own.
    qint64 worstMs = 0;
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(100);
        const qint64 engineFrame = engine.playedMilliseconds() * kRate / 1000;
        const std::vector<float> sofar = recorded(first);
        // The last frame with sound (a buffer a busy machine filled late is silence).
        size_t last = sofar.size() / 2;
        while (last > 0 && sofar[2 * (last - 1)] == 0.0f)
            --last;
        if (last == 0)
            continue;
        const qint64 count = std::lround(sofar[2 * (last - 1)] * 32768.0f) - 1;
        const qint64 behind = ((engineFrame - count) % 16384 + 16384) % 16384;
        const qint64 offMs = (behind < 8192 ? behind : behind - 16384) * 1000 / kRate;
        worstMs = std::max(worstMs, std::abs(offMs));
    }
    qInfo("the engine's position is at most %lld ms from the frame the server played",
          qlonglong(worstMs));
    QVERIFY2(worstMs <= 100, qPrintable(QString("%1 ms off").arg(worstMs)));
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
    // Under load PipeWire's monitor now and then gives a frame with one channel
    // silent, the edge of a block it lost: such frames are counted and left out.
    const std::vector<float> sound = withoutSilentFrames(heard);
    qint64 previous = std::lround(sound[0] * 32768.0f), jumps = 0, halves = 0;
    for (size_t i = 1; i < sound.size() / 2; ++i) {
        const long got = std::lround(sound[2 * i] * 32768.0f);
        if (got != std::lround(sound[2 * i + 1] * 32768.0f) &&
            (sound[2 * i] == 0.0f || sound[2 * i + 1] == 0.0f)) {
            ++halves;
            continue;
        }
        const qint64 step = (got - previous + 16384) % 16384;
        QVERIFY2(
            step >= 1 && step < 8192,
            qPrintable(QString("heard frame %1 is %2 after %3").arg(i).arg(got).arg(previous)));
        jumps += step - 1;
        QCOMPARE(std::lround(sound[2 * i + 1] * 32768.0f), got);
        previous = got;
    }
    qInfo("%lld frames heard, %lld lost by the recording, sound in %.1f %% of the recording "
          "since the first",
          qlonglong(sound.size() / 2), jumps, 100.0 * double(sound.size() / 2) / double(frames));
    QVERIFY2(halves * 100 < qint64(sound.size() / 2),
             qPrintable(QString("%1 frames with one channel silent").arg(halves)));
    QVERIFY2(jumps * 20 < qint64(sound.size() / 2),
             qPrintable(QString("%1 frames lost in %2").arg(jumps).arg(sound.size() / 2)));
    qInfo("position %lld ms after 2 s of play; the server's buffer %s, its sink %s",
          qlonglong(engineMs),
          qPrintable(latency.section("Buffer Latency: ", 1, 1).section(u'\n', 0, 0)),
          qPrintable(latency.section("Sink Latency: ", 1, 1).section(u'\n', 0, 0)));
    QVERIFY(engineMs > 1000 && engineMs < 2500);

    // The volume table's steps (16 is louder on the left), heard at their gains: each
    // channel divided by its gain gives the same count; step 0 is silent.
    for (const int step : {31, 16, 13, 5, 0}) {
        const std::uint32_t value = volumeTableValue(step);
        engine.setVolume(value);
        const QString file = runtime + QString("/step%1.raw").arg(step);
        QTest::qWait(100); // what the server holds at the old gain plays out
        QVERIFY(server.record(file));
        QTest::qWait(400);
        server.stopRecording();
        const std::vector<float> heardAtStep = recorded(file);
        const ChannelGains gains = gainsFromVolume(value);
        // From 100 ms into the recording on (what the server held at the old gain has
        // played by then); silent frames are buffers a busy machine filled late.
        int sounding = 0;
        for (size_t at = 2 * (kRate / 10); at + 1 < heardAtStep.size(); at += 2) {
            if (heardAtStep[at] == 0.0f && heardAtStep[at + 1] == 0.0f)
                continue;
            QVERIFY2(step != 0, "step 0 is heard");
            if (heardAtStep[at] == 0.0f || heardAtStep[at + 1] == 0.0f)
                continue; // the edge of a block the recording lost
            ++sounding;
            // The server mixes in its own precision: a sample may be a 16-bit step off.
            const float left = heardAtStep[at] / gains.left * 32768.0f;
            const float right = heardAtStep[at + 1] / gains.right * 32768.0f;
            const float slack = 1e-3f * left + 1.5f / std::min(gains.left, gains.right);
            QVERIFY2(left >= 0.5f && std::abs(left - right) <= slack,
                     qPrintable(QString("step %1: %2 and %3").arg(step).arg(left).arg(right)));
        }
        QVERIFY2(step == 0 || sounding > kRate / 10,
                 qPrintable(QString("step %1: %2 frames heard").arg(step).arg(sounding)));
    }
    engine.setVolume(0xFFFFFFFFu);

    // The server goes away mid-song: the song goes on silently, and controls work.
    server.kill();
    QElapsedTimer clock;
    clock.start();
    const std::int64_t before = engine.playedMilliseconds();
    // A driver that does not notice (SDL's pipewire one) leaves a device that asks for
    // nothing: it is stood in for, then closed and tried again.
    QVERIFY2(QTest::qWaitFor([&] { return engine.isSilent(); }, 5000),
             "the engine did not notice the server had gone");
    qInfo("the engine played silently %lld ms after the server went", qlonglong(clock.elapsed()));
    QTest::qWait(500);
    int position = 0;
    QCOMPARE(engine.state(position), PlayState::Playing);
    // At most the stalled device's wait and a watch's interval are not counted.
    QVERIFY2(engine.playedMilliseconds() - before > qint64(clock.elapsed()) - 1000,
             "the song's time stood still");
    engine.seek(20);
    QTest::qWait(300);
    engine.state(position);
    QVERIFY(position >= 20);
    QVERIFY(engine.open(m_other));
    engine.play();
    QCOMPARE(engine.state(position), PlayState::Playing);

    // A server again: the engine's next try of the device finds it, and the song is heard.
    clock.restart();
    QVERIFY2(server.start(), qPrintable(kind + " did not start again"));
    const qint64 serverUp = clock.elapsed();
    QVERIFY2(QTest::qWaitFor([&] { return !engine.isSilent(); }, 10000),
             "the engine did not find the device again");
    qInfo("the server took %lld ms to start; the engine played into it %lld ms later",
          qlonglong(serverUp), qlonglong(clock.elapsed() - serverUp));
    const QString second = runtime + "/second.raw";
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
    const QString third = runtime + "/third.raw";
    QVERIFY(server.record(third));
    QVERIFY2(QTest::qWaitFor([&] { return firstSound(recorded(third)) >= 0; }, 10000),
             "the song was not heard after the sink ran again");
    engine.stop();
    engine.close();
}

QTEST_GUILESS_MAIN(TestSoundServer)
#include "tst_sound_server.moc"
