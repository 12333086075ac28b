// A song whose file stalls for 300 ms on every read plays without a gap. The test
// defines the process's positioned reads, so the engine's file reads pass through it,
// and makes every read of the song wait first. SDL's disk driver plays at its real-time
// pace and captures what the device was given.
#include "AudioTestFiles.h"

#include "audio/AudioEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pelto;
using namespace pelto::test;

namespace {

// The file whose reads stall, by device and inode; none while the inode is 0.
std::atomic<dev_t> g_stallDevice{0};
std::atomic<ino_t> g_stallInode{0};
std::atomic<int> g_stalledReads{0};

void stallOnChosenFile(int fd) {
    const ino_t inode = g_stallInode.load();
    struct stat st {};
    if (inode == 0 || ::fstat(fd, &st) != 0 || st.st_ino != inode ||
        st.st_dev != g_stallDevice.load())
        return;
    ++g_stalledReads;
    timespec left{0, 300'000'000};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
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
    void stalledReadsAreNotHeard();
};

void TestAudioStall::stalledReadsAreNotHeard() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // At 320 kbit/s the engine's 64 KiB reads come every 1.6 s of audio: several
    // stalls fall inside the song.
    const QString song = dir.filePath("song.mp3");
    QVERIFY(writeMp3(song, 8, 320));
    const Decoded pcm = decodeAll(song);
    QVERIFY(pcm.frames() > 7 * pcm.rate);
    const QString out = dir.filePath("played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", out.toLocal8Bit());
    qunsetenv("SDL_DISKAUDIODELAY"); // the driver then waits one buffer's time per buffer

    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(song).constData(), &st) == 0);
    g_stallDevice = st.st_dev;
    g_stallInode = st.st_ino;
    std::int64_t underrun = -1;
    std::int64_t longestCallback = -1;
    int stallsWhilePlaying = 0;
    {
        AudioEngine engine;
        engine.setVolume(0xFFFFFFFFu);
        QVERIFY(engine.open(song));
        const int stallsBefore = g_stalledReads;
        engine.play();
        QElapsedTimer clock;
        clock.start();
        int position = 0;
        while (engine.state(position) != StateStopped && clock.elapsed() < 20000)
            QTest::qWait(20);
        QCOMPARE(engine.state(position), StateStopped);
        stallsWhilePlaying = g_stalledReads - stallsBefore;
        underrun = engine.underrunFrames();
        longestCallback = engine.longestCallbackMicros();
    }
    g_stallInode = 0;
    qInfo("%d reads stalled while playing; longest callback %lld us", stallsWhilePlaying,
          qlonglong(longestCallback));
    QVERIFY2(stallsWhilePlaying >= 4, qPrintable(QString::number(stallsWhilePlaying)));
    // The device never waited for the disk, and never ran dry.
    QVERIFY2(longestCallback < 100'000, qPrintable(QString::number(longestCallback)));
    QCOMPARE(underrun, 0);

    // After the silence before the song starts: every decoded sample, nothing between.
    std::vector<float> played = floatsOf(readBytes(out));
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

QTEST_GUILESS_MAIN(TestAudioStall)
#include "tst_audio_stall.moc"
