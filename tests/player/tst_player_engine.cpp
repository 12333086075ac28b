// The player with the real audio engine. The program started with two files plays
// both, in order, to the device (SDL's disk driver writes what is played into a pipe
// the test drains), and ends the normal way on SIGTERM, also when the device is stuck
// in a write that never returns; in process, the elapsed time follows the song as it
// is heard and the total time shows its length.
#include "AudioTestFiles.h"
#include "SkinFixture.h"
#include "TestChild.h"

#include "app/Session.h"
#include "audio/AudioEngine.h"
#include "player/MainPlayer.h"
#include "player/Player.h"
#include "player/SkinWidgets.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace pelto;
using namespace pelto::test;

namespace {

// Drains a named pipe into memory. The disk driver opens its file when a song starts
// and closes it when the song ends; the pipe stays open for reading throughout, so
// each song's writer finds it and nothing written is lost.
class PipeDrain {
public:
    explicit PipeDrain(const QString& path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        m_thread = std::thread([this] { run(); });
    }
    ~PipeDrain() {
        m_stop = true;
        m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    std::vector<float> samples() {
        std::lock_guard lock(m_mutex);
        return floatsOf(m_bytes);
    }

private:
    void run() {
        char buf[65536];
        while (!m_stop && m_fd >= 0) {
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard lock(m_mutex);
                m_bytes.append(buf, n);
            } else {
                // No writer (0) or nothing written yet (EAGAIN).
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }
    int m_fd;
    QByteArray m_bytes;
    std::mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The program in the test's folder, playing into `pipe` through SDL's disk driver,
// `delay` milliseconds between buffers. It dies with the test.
void startPelto(QProcess& pelto, const QString& home, const QString& pipe, int delay,
                const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", pipe);
    env.insert("SDL_DISKAUDIODELAY", QString::number(delay));
    env.insert("PELTO_HOME", home);
    env.insert("XDG_RUNTIME_DIR", home);
    pelto.setProcessEnvironment(env);
    tieToTest(pelto);
    pelto.start(PELTO_BINARY_DIR "/pelto", arguments);
}

} // namespace

class TestPlayerEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void programPlaysItsCommandLineInOrder();
    void closingEndsWhileTheDeviceIsStuck();
    void timesFollowTheSongAsHeard();

private:
    QTemporaryDir m_dir;
    QString m_a, m_b;
};

void TestPlayerEngine::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_a = m_dir.filePath("a.mp3");
    m_b = m_dir.filePath("b.wav");
    QVERIFY(QFile::copy(fixture("mpeg1_l3_cbr.mp3"), m_a));    // 2.5 s
    QVERIFY(QFile::copy(fixture("wave_s16_stereo.wav"), m_b)); // 0.3 s
    QVERIFY(writeTestSkin(m_dir.path()));
}

void TestPlayerEngine::programPlaysItsCommandLineInOrder() {
    const QString pipe = m_dir.filePath("played.pipe");
    QVERIFY(::mkfifo(pipe.toLocal8Bit().constData(), 0600) == 0);
    const Decoded a = decodeAll(m_a);
    const Decoded b = decodeAll(m_b);
    QVERIFY(a.frames() > 0 && b.frames() > 0);
    std::vector<float> expected = withoutSilentFrames(a.samples);
    const std::vector<float> bFrames = withoutSilentFrames(b.samples);
    expected.insert(expected.end(), bFrames.begin(), bFrames.end());

    PipeDrain drain(pipe);
    QVERIFY(drain.isOpen());
    QProcess pelto;
    pelto.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    startPelto(pelto, m_dir.path(), pipe, 8, {m_a, m_b}); // four times real time
    QVERIFY(pelto.waitForStarted());

    QElapsedTimer clock;
    clock.start();
    std::vector<float> played;
    while (clock.elapsed() < 20000) {
        played = withoutSilentFrames(drain.samples());
        if (played.size() >= expected.size())
            break;
        QTest::qWait(50);
    }
    QTest::qWait(200);
    played = withoutSilentFrames(drain.samples());

    // SIGTERM ends the program through its unload, which saves the playlist.
    pelto.terminate();
    QVERIFY(pelto.waitForFinished(10000));
    QCOMPARE(pelto.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pelto.exitCode(), 0);
    QFile m3u(m_dir.filePath("Pelto.m3u"));
    QVERIFY(m3u.open(QIODevice::ReadOnly));
    QCOMPARE(m3u.readAll(), "a.mp3\r\nb.wav\r\n");

    // Every frame of a, then every frame of b, times the volume's gains.
    QCOMPARE(played.size(), expected.size());
    size_t loudest = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::abs(expected[i]) > std::abs(expected[loudest]))
            loudest = i;
    const float gain = played[loudest] / expected[loudest];
    QVERIFY(gain > 0.0f && gain <= 1.0f);
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::abs(played[i] - gain * expected[i]) > 1e-4f)
            QFAIL(qPrintable(QString("frame %1 differs").arg(i / 2)));
}

void TestPlayerEngine::closingEndsWhileTheDeviceIsStuck() {
    // A pipe that is open for reading but never read: once it is full, the device's
    // write blocks for good, as it would on a dead sound server.
    const QString home = m_dir.filePath("stuck");
    QVERIFY(QDir().mkpath(home));
    QVERIFY(writeTestSkin(home));
    const QString pipe = home + "/played.pipe";
    QVERIFY(::mkfifo(pipe.toLocal8Bit().constData(), 0600) == 0);
    const int reader = ::open(pipe.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(reader >= 0);
    const struct CloseReader {
        int fd;
        ~CloseReader() { ::close(fd); }
    } closeReader{reader};
    const int capacity = ::fcntl(reader, F_GETPIPE_SZ);
    QVERIFY(capacity > 0);

    QProcess pelto;
    startPelto(pelto, home, pipe, 0, {m_a, m_b});
    QVERIFY(pelto.waitForStarted());
    int queued = 0;
    QTRY_VERIFY_WITH_TIMEOUT(::ioctl(reader, FIONREAD, &queued) == 0 && queued == capacity, 20000);
    QTest::qWait(200); // the device's thread is now inside a write that cannot finish

    // The unload saves first and then gives up on the device; the process ends.
    ::kill(pid_t(pelto.processId()), SIGTERM);
    QVERIFY(pelto.waitForFinished(10000));
    QCOMPARE(pelto.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pelto.exitCode(), 0);
    QCOMPARE(readBytes(home + "/Pelto.m3u"), QByteArray(qPrintable(m_a + "\r\n" + m_b + "\r\n")));
    QVERIFY(readBytes(home + "/Pelto.cfg").contains("PlayListTrNum,1\r\n"));
    const QStringList said = QString::fromLocal8Bit(pelto.readAllStandardError())
                                 .split(u'\n', Qt::SkipEmptyParts)
                                 .filter(QRegularExpression("^Pelto: .*sound device"));
    QCOMPARE(said,
             QStringList{"Pelto: the sound device did not close within 1500 ms; left behind"});
}

void TestPlayerEngine::timesFollowTheSongAsHeard() {
    qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("PELTO_HOME", m_dir.path().toLocal8Bit());
    QFile::remove(m_dir.filePath("Pelto.m3u"));
    Session session;
    const PlaylistModel& playlist = session.playlist();
    const Player& player = session.player();
    MainPlayer& window = session.mainWindow();
    QElapsedTimer clock;
    clock.start();
    session.start(m_a + ' ' + m_b);
    TextBox* now = window.textBox(SkinElement::NowTime);
    TextBox* total = window.textBox(SkinElement::TotalTime);
    QCOMPARE(total->text(), QString("/ 00:02"));

    // When each elapsed-time text first shows, and the totals seen along the way.
    QMap<QString, qint64> firstSeen;
    QStringList totals{total->text()};
    while (clock.elapsed() < 8000 && playlist.PlayListTrNum() == 1) {
        if (!firstSeen.contains(now->text()))
            firstSeen.insert(now->text(), clock.elapsed());
        QTest::qWait(5);
    }
    QCOMPARE(firstSeen.keys(), (QStringList{"00:00", "00:01", "00:02"}));
    // The refresh runs every 100 ms and shows what has been heard, a little behind
    // the clock that started before the song opened.
    for (int s = 1; s <= 2; ++s) {
        const qint64 at = firstSeen.value(QStringLiteral("00:0%1").arg(s));
        QVERIFY2(at >= s * 1000 && at < s * 1000 + 400, qPrintable(QString::number(at)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), PlayState::Stopped, 5000);
    QCOMPARE(player.DmyFileName(), m_b);
    QCOMPARE(total->text(), QString("/ 00:00"));
    QVERIFY(!player.timerInfoActive());
}

QTEST_MAIN(TestPlayerEngine)
#include "tst_player_engine.moc"
