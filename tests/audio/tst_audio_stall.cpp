// Reads of a song that stall. The test defines the process's positioned reads, so the
// engine's file reads pass through it, and makes every read of the song wait first:
// 300 ms, or until the test lets it go. A song whose reads stall 300 ms plays without a
// gap (SDL's disk driver plays at its real-time pace and captures what the device was
// given), and while a read hangs, the engine's controls do not wait for it, the next
// song plays, and the engine ends.
#include "AudioTestFiles.h"

#include "audio/AudioEngine.h"
#include "audio/DecodeThread.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <ctime>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace pelto;
using namespace pelto::test;

namespace {

// The file whose reads stall, by device and inode (none while the inode is 0), and how:
// 300 ms each, or while the gate is closed.
struct Stall {
    std::atomic<dev_t> device{0};
    std::atomic<ino_t> inode{0};
    std::atomic<int> reads{0};
    std::mutex lock;
    std::condition_variable changed;
    bool gateClosed = false; // under lock
    int atGate = 0;          // reads held at the gate, under lock
};
Stall g_stall;

void stallOnChosenFile(int fd) {
    const ino_t inode = g_stall.inode.load();
    struct stat st {};
    if (inode == 0 || ::fstat(fd, &st) != 0 || st.st_ino != inode ||
        st.st_dev != g_stall.device.load())
        return;
    ++g_stall.reads;
    std::unique_lock guard(g_stall.lock);
    if (g_stall.gateClosed) {
        ++g_stall.atGate;
        g_stall.changed.notify_all();
        g_stall.changed.wait(guard, [] { return !g_stall.gateClosed; });
        --g_stall.atGate;
        return;
    }
    guard.unlock();
    timespec left{0, 300'000'000};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

bool stallReadsOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    g_stall.device = st.st_dev;
    g_stall.inode = st.st_ino;
    return true;
}

void setGate(bool closed) {
    std::lock_guard guard(g_stall.lock);
    g_stall.gateClosed = closed;
    g_stall.changed.notify_all();
}

template <typename Function> Function nextDefinition(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto next = nextDefinition<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    stallOnChosenFile(fd);
    return next(fd, buffer, count, offset);
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    static const auto next = nextDefinition<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    stallOnChosenFile(fd);
    return next(fd, buffer, count, offset);
}

class TestAudioStall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void stalledReadsAreNotHeard();
    void controlsDoNotWaitForAHangingRead();

private:
    QTemporaryDir m_dir;
    QString m_song;
};

void TestAudioStall::initTestCase() {
    QVERIFY(m_dir.isValid());
    // At 320 kbit/s the engine's 64 KiB reads come every 1.6 s of audio: several
    // stalls fall inside the song.
    m_song = m_dir.filePath("song.mp3");
    QVERIFY(writeMp3(m_song, 8, 320));
}

void TestAudioStall::stalledReadsAreNotHeard() {
    const QString& song = m_song;
    const Decoded pcm = decodeAll(song);
    QVERIFY(pcm.frames() > 7 * pcm.rate);
    const QString out = m_dir.filePath("played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", out.toLocal8Bit());
    qunsetenv("SDL_DISKAUDIODELAY"); // the driver then waits one buffer's time per buffer

    QVERIFY(stallReadsOf(song));
    std::int64_t underrun = -1;
    std::int64_t longestCallback = -1;
    int stallsWhilePlaying = 0;
    {
        AudioEngine engine;
        engine.setVolume(0xFFFFFFFFu);
        QVERIFY(engine.open(song));
        const int stallsBefore = g_stall.reads;
        engine.play();
        QElapsedTimer clock;
        clock.start();
        int position = 0;
        while (engine.state(position) != PlayState::Stopped && clock.elapsed() < 20000)
            QTest::qWait(20);
        QCOMPARE(engine.state(position), PlayState::Stopped);
        stallsWhilePlaying = g_stall.reads - stallsBefore;
        underrun = engine.underrunFrames();
        longestCallback = engine.longestCallbackMicros();
    }
    g_stall.inode = 0;
    qInfo("%d reads stalled while playing; longest callback %lld us", stallsWhilePlaying,
          qlonglong(longestCallback));
    QVERIFY2(stallsWhilePlaying >= 4, qPrintable(QString::number(stallsWhilePlaying)));
    // The device never waited for the disk, and never ran dry.
    QVERIFY2(longestCallback < 100'000, qPrintable(QString::number(longestCallback)));
    QCOMPARE(underrun, 0);

    // After the silence before the song starts: every decoded sample, nothing between.
    std::vector<float> played = floatsOf(readFile(out));
    const size_t lead =
        leadingSilence(played) - std::min(leadingSilence(played), leadingSilence(pcm.samples));
    played.erase(played.begin(), played.begin() + std::ptrdiff_t(lead));
    QVERIFY(played.size() >= pcm.samples.size());
    for (size_t i = 0; i < pcm.samples.size(); ++i) {
        if (played[i] != pcm.samples[i])
            QFAIL(qPrintable(QString("frame %1 differs").arg(i / 2)));
    }
    for (size_t i = pcm.samples.size(); i < played.size(); ++i)
        QCOMPARE(played[i], 0.0f);
}

void TestAudioStall::controlsDoNotWaitForAHangingRead() {
    qputenv("SDL_AUDIODRIVER", "dummy");
    std::atomic<bool> watchdogOpened{false};
    std::thread watchdog;
    {
        AudioEngine engine;
        QVERIFY(engine.open(m_song));
        engine.play();
        QVERIFY(stallReadsOf(m_song));
        setGate(true);
        // A seek forward sends the decode thread to a part of the file it has not read.
        engine.seek(5);
        {
            std::unique_lock guard(g_stall.lock);
            QVERIFY(g_stall.changed.wait_for(guard, std::chrono::seconds(10),
                                             [] { return g_stall.atGate > 0; }));
        }
        // Should anything wait for the read, a watchdog lets the read go after a while,
        // and the test fails instead of hanging.
        watchdog = std::thread([&] {
            std::unique_lock guard(g_stall.lock);
            if (!g_stall.changed.wait_for(guard, std::chrono::seconds(20),
                                          [] { return !g_stall.gateClosed; })) {
                g_stall.gateClosed = false;
                watchdogOpened = true;
                g_stall.changed.notify_all();
            }
        });
        int position = 0;
        engine.pause();
        engine.restart();
        engine.seek(1);
        engine.state(position);
        engine.stop();
        engine.close();
        QTest::qWait(DecodeThread::kStuckMs + 100);
        // The next song plays to its end while the read still hangs.
        QVERIFY(engine.open(fixture("wave_s16_stereo.wav")));
        engine.play();
        QCOMPARE(engine.state(position), PlayState::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(engine.state(position), PlayState::Stopped, 10000);
        QVERIFY(!watchdogOpened);
        // And the engine ends without it.
    }
    {
        // An engine whose song's read hangs as it ends: the end waits a moment, then
        // goes on without the thread.
        AudioEngine engine;
        g_stall.inode = 0;
        QVERIFY(engine.open(m_song));
        engine.play();
        QVERIFY(stallReadsOf(m_song));
        engine.seek(6);
        std::unique_lock guard(g_stall.lock);
        QVERIFY(g_stall.changed.wait_for(guard, std::chrono::seconds(10),
                                         [] { return g_stall.atGate == 2; }));
    }
    const bool waited = watchdogOpened;
    {
        std::lock_guard guard(g_stall.lock);
        QCOMPARE(g_stall.atGate, 2);
    }
    g_stall.inode = 0;
    setGate(false);
    watchdog.join();
    QVERIFY(!waited);
}

QTEST_GUILESS_MAIN(TestAudioStall)
#include "tst_audio_stall.moc"
