// Real copies of a program that starts the way Pelto does, started side by side:
// which one becomes the first copy, what reaches it, and when the others end.

#include "ProbeRun.h"
#include "app/HandOffWire.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString probe = QStringLiteral(PELTO_BINARY_DIR "/instance_probe");

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode;
}

// Sends one framed message by hand and returns the answer byte, or 0 when the
// receiver closed without one.
bool isRunning(QProcess* process) {
    return process->waitForStarted(5000) && process->state() == QProcess::Running;
}

char sendRaw(const QString& socketPath, const QByteArray& frame) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(2000))
        return 0;
    socket.write(frame);
    while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState)
        if (!socket.waitForReadyRead(10000))
            break;
    char reply = 0;
    socket.getChar(&reply);
    return reply;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void handOffArrivesWholeAfterItIsDealtWith() {
        CopyLauncher copies(probe);
        QProcess* first = copies.start({QStringLiteral("a.mp3")}, {"PROBE_HANDLE_MS=400"});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(copies.run({QStringLiteral("/m/my song.mp3"), QStringLiteral("曲.mp3")}), 0);
        // The later copy ended only after the first copy had dealt with the message.
        QVERIFY(timer.elapsed() >= 400);
        QVERIFY(copies.logLines().contains(QStringLiteral("handoff \"/m/my song.mp3\" 曲.mp3")));

        QCOMPARE(copies.run({}), 0);
        QCOMPARE(copies.run({QStringLiteral("b.mp3")}), 0);
        QCOMPARE(copies.logLines(),
                 (QStringList{"first a.mp3", "loaded", "handoff \"/m/my song.mp3\" 曲.mp3",
                              "handoff ", "handoff b.mp3"}));
        QVERIFY(isRunning(first));
    }

    void senderGoneBeforeTheAnswer() {
        // The message is still dealt with, and answering a closed connection does not
        // take the running copy down.
        CopyLauncher copies(probe);
        QProcess* first = copies.start({}, {"PROBE_HANDLE_MS=300"});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        {
            QLocalSocket socket;
            socket.connectToServer(copies.place().socketPath);
            QVERIFY(socket.waitForConnected(2000));
            socket.write(pelto::wire::frame(QByteArray("gone.mp3\0\0\0", 11)));
            QVERIFY(socket.waitForBytesWritten(2000));
        }
        QVERIFY(copies.waitForLog(QStringLiteral("handoff gone.mp3")));
        QCOMPARE(copies.run({QStringLiteral("next.mp3")}), 0);
        QVERIFY(isRunning(first));
        QCOMPARE(copies.logLines().last(), QStringLiteral("handoff next.mp3"));
    }

    void placeIsPrivateAndPerInstall() {
        CopyLauncher copies(probe);
        copies.start({});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        const pelto::InstancePlace place = copies.place();
        QCOMPARE(modeOf(place.folder) & 0777, mode_t(0700));
        QVERIFY(S_ISSOCK(modeOf(place.socketPath)));
        QCOMPARE(modeOf(place.socketPath) & 077, mode_t(0));

        // The same folder spelled differently is the same install; another is not.
        QTemporaryDir links;
        QVERIFY(QFile::link(copies.home(), links.filePath("link")));
        QCOMPARE(pelto::instancePlaceFor(links.filePath("link")).socketPath, place.socketPath);
        QCOMPARE(pelto::instancePlaceFor(copies.home() + "/").lockPath, place.lockPath);
        QVERIFY(pelto::instancePlaceFor(links.path()).socketPath != place.socketPath);

        // A copy of another install starts as a first copy of its own.
        CopyLauncher other(probe);
        other.start({QStringLiteral("x.mp3")});
        QVERIFY(other.waitForLog(QStringLiteral("first x.mp3")));
        QVERIFY(!copies.logLines().join(u'\n').contains(QStringLiteral("x.mp3")));
    }

    void runtimeFolderMustBePrivate() {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QCOMPARE(pelto::privateRuntimeFolder(), runtime.path());
        QVERIFY(pelto::instancePlaceFor(QDir::tempPath()).socketPath.startsWith(runtime.path()));

        // A runtime folder others may enter is passed over for a private one of our own.
        QFile::setPermissions(runtime.path(), QFile::permissions(runtime.path()) |
                                                  QFile::ReadOther | QFile::ExeOther);
        const QString fallback = pelto::privateRuntimeFolder();
        QVERIFY(fallback != runtime.path());
        QCOMPARE(modeOf(fallback) & 0777, mode_t(0700));
        qputenv("XDG_RUNTIME_DIR", runtime.filePath("missing").toUtf8());
        QCOMPARE(pelto::privateRuntimeFolder(), fallback);
        if (saved.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", saved);
    }

    void squattedTemporaryFolderGivesWayToTheCacheFolder() {
        // Without a runtime folder, the folder in the temporary folder is taken by
        // someone else in each of the ways it can be: another owner (when the test
        // may give it one), a mode others may enter, a link to a folder of ours.
        QTemporaryDir scratch;
        const QString tmp = scratch.filePath("tmp"), cache = scratch.filePath("cache");
        const QString squatted = tmp + QStringLiteral("/pelto-%1").arg(::geteuid());
        const QStringList env{"XDG_RUNTIME_DIR=", "TMPDIR=" + tmp, "XDG_CACHE_HOME=" + cache};
        QVERIFY(QDir().mkpath(tmp) && QDir().mkpath(scratch.filePath("ours")));
        ::chmod(QFile::encodeName(scratch.filePath("ours")).constData(), 0700);
        enum Squat { OtherOwner, OpenMode, Link };
        for (Squat squat : {OtherOwner, OpenMode, Link}) {
            QDir(squatted).removeRecursively();
            QFile::remove(squatted);
            if (squat == Link) {
                QVERIFY(QFile::link(scratch.filePath("ours"), squatted));
            } else {
                QVERIFY(QDir().mkdir(squatted));
                ::chmod(QFile::encodeName(squatted).constData(), squat == OpenMode ? 0755 : 0700);
                if (squat == OtherOwner &&
                    (::geteuid() != 0 ||
                     ::chown(QFile::encodeName(squatted).constData(), 65534, 65534) != 0))
                    continue;
            }
            CopyLauncher copies(probe);
            copies.start({QStringLiteral("a.mp3")}, env);
            QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
            QCOMPARE(copies.run({QStringLiteral("b.mp3")}, env), 0);
            QCOMPARE(copies.logLines(), (QStringList{"first a.mp3", "loaded", "handoff b.mp3"}));
            QCOMPARE(modeOf(cache + "/pelto") & 0777, mode_t(0700));
            QVERIFY(QFileInfo(cache + "/pelto").isDir() &&
                    !QFileInfo(cache + "/pelto").isSymLink());
            const QString socketName = QFileInfo(copies.place().socketPath).fileName();
            QVERIFY(S_ISSOCK(modeOf(cache + "/pelto/" + socketName)));
            QVERIFY(QDir(scratch.filePath("ours")).isEmpty());
        }

        // When the cache folder is taken too, the copies run without the check and
        // say so.
        QDir(cache + "/pelto").removeRecursively();
        QVERIFY(QFile::link(scratch.filePath("ours"), cache + "/pelto"));
        CopyLauncher copies(probe);
        copies.setKeepErrors(true);
        QProcess* first = copies.start({QStringLiteral("a.mp3")}, env);
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        QProcess* second = copies.start({QStringLiteral("b.mp3")}, env);
        QVERIFY(copies.waitForLog(QStringLiteral("loaded"), 2));
        QCOMPARE(copies.logLines().filter(QStringLiteral("first ")),
                 (QStringList{"first a.mp3", "first b.mp3"}));
        for (QProcess* copy : {first, second}) {
            copy->kill();
            QVERIFY(copy->waitForFinished(5000));
            QCOMPARE(copy->readAllStandardError(),
                     QByteArray("Pelto: no private runtime folder; running without the "
                                "single-instance check\n"));
        }
    }

    void launchesWhileLoadingAreHeldUntilReady() {
        CopyLauncher copies(probe);
        copies.start({QStringLiteral("a.mp3")}, {"PROBE_LOAD_MS=1500"});
        QVERIFY(copies.waitForLog(QStringLiteral("first a.mp3")));
        QProcess* b = copies.start({QStringLiteral("b.mp3")});
        QVERIFY(b->waitForStarted());
        QTest::qWait(200);
        QProcess* c = copies.start({QStringLiteral("c.mp3")});
        QVERIFY(b->waitForFinished(10000) && c->waitForFinished(10000));
        QCOMPARE(b->exitCode(), 0);
        QCOMPARE(c->exitCode(), 0);
        QCOMPARE(copies.logLines(),
                 (QStringList{"first a.mp3", "loaded", "handoff b.mp3", "handoff c.mp3"}));
    }

    void laterCopyWaitsForACopyStillStarting() {
        // The lock is held but nobody listens yet, as in the first instants of a start.
        CopyLauncher copies(probe);
        QLockFile starting(copies.place().lockPath);
        QVERIFY(starting.tryLock(0));
        QProcess* later = copies.start({QStringLiteral("b.mp3")});
        QTest::qWait(700);
        QVERIFY(isRunning(later));
        starting.unlock();
        // The starting copy went away: the waiting copy takes over.
        QVERIFY(copies.waitForLog(QStringLiteral("first b.mp3")));
        QVERIFY(isRunning(later));

        // With nobody answering, a later copy gives up after its wait and says so.
        CopyLauncher hung(probe);
        QLockFile held(hung.place().lockPath);
        QVERIFY(held.tryLock(0));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(hung.run({QStringLiteral("c.mp3")}, {"PROBE_FIND_MS=300"}), 1);
        QVERIFY(timer.elapsed() >= 300);
        QVERIFY(hung.logLines().isEmpty());
    }

    void fiftySimultaneousLaunches() {
        CopyLauncher copies(probe);
        constexpr int n = 50;
        QList<QProcess*> processes;
        for (int i = 0; i < n; ++i)
            processes.append(copies.start({QStringLiteral("f%1.mp3").arg(i)}));
        QVERIFY(copies.waitForLog(QStringLiteral("loaded"), 1, 20000));

        const QList<QProcess*> running = CopyLauncher::waitUntilRemaining(processes, 1, 30000);
        QCOMPARE(running.size(), 1);
        QTest::qWait(200);
        QVERIFY(isRunning(running[0]));
        const int firstIndex = int(processes.indexOf(running[0]));
        for (QProcess* p : processes)
            if (p != running[0])
                QCOMPARE(p->exitCode(), 0);

        const QStringList lines = copies.logLines();
        QCOMPARE(lines.size(), n + 1);
        QCOMPARE(lines.count(QStringLiteral("first f%1.mp3").arg(firstIndex)), 1);
        for (int i = 0; i < n; ++i)
            if (i != firstIndex)
                QCOMPARE(lines.count(QStringLiteral("handoff f%1.mp3").arg(i)), 1);
    }

    void killedCopyDoesNotBlockTheNextStart() {
        CopyLauncher copies(probe);
        QProcess* first = copies.start({QStringLiteral("a.mp3")});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        // The killed copy left its lock file and its socket behind.
        QVERIFY(QFileInfo::exists(copies.place().lockPath));
        QVERIFY(QFileInfo::exists(copies.place().socketPath));

        QProcess* next = copies.start({QStringLiteral("b.mp3")});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded"), 2));
        QVERIFY(copies.logLines().contains(QStringLiteral("first b.mp3")));
        QCOMPARE(copies.run({QStringLiteral("c.mp3")}), 0);
        QCOMPARE(copies.logLines().last(), QStringLiteral("handoff c.mp3"));
        QVERIFY(isRunning(next));
    }

    void noHandOffsAfterTheCloseQuery() {
        CopyLauncher copies(probe);
        QProcess* first = copies.start({}, {"PROBE_LINGER_MS=2500"});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        QCOMPARE(copies.run({QStringLiteral("quit")}), 0);
        QVERIFY(copies.waitForLog(QStringLiteral("closed")));

        // Still running, but closing: a copy that cannot wait long gives up...
        QCOMPARE(copies.run({QStringLiteral("late.mp3")}, {"PROBE_FIND_MS=300"}), 1);
        // ...and one that waits becomes the next first copy once the old one ends.
        QProcess* next = copies.start({QStringLiteral("next.mp3")}, {"PROBE_FIND_MS=10000"});
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitCode(), 0);
        QVERIFY(copies.waitForLog(QStringLiteral("first next.mp3")));
        QVERIFY(isRunning(next));
        QVERIFY(!copies.logLines().join(u'\n').contains(QStringLiteral("handoff late")));
    }

    void messageSizeIsBounded() {
        CopyLauncher copies(probe);
        copies.start({});
        QVERIFY(copies.waitForLog(QStringLiteral("loaded")));
        const QString socketPath = copies.place().socketPath;

        // A sender that stalls halfway does not hold up the others.
        QLocalSocket stalled;
        stalled.connectToServer(socketPath);
        QVERIFY(stalled.waitForConnected(2000));
        stalled.write(QByteArray("\x10\0", 2));
        QVERIFY(stalled.waitForBytesWritten(2000));
        QCOMPARE(copies.run({QStringLiteral("b.mp3")}), 0);

        QByteArray exact = QByteArray("big.mp3");
        exact.append(QByteArray(pelto::wire::maxPayload - exact.size(), '\0'));
        QCOMPARE(sendRaw(socketPath, pelto::wire::frame(exact)), pelto::wire::handOffHandled);
        // Only the header is needed to refuse an oversized message.
        QByteArray header(4, '\0');
        qToLittleEndian<quint32>(pelto::wire::maxPayload + 1, header.data());
        QCOMPARE(sendRaw(socketPath, header), pelto::wire::handOffRefused);

        // A real launch whose command line exceeds the limit ends with an error.
        QStringList huge;
        for (int i = 0; i < 10; ++i)
            huge.append(QString(110 * 1024, QChar(u'a' + i)) + QStringLiteral(".mp3"));
        QCOMPARE(copies.run(huge), 1);
        QCOMPARE(copies.logLines(),
                 (QStringList{"first ", "loaded", "handoff b.mp3", "handoff big.mp3"}));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
