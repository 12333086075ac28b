// The real program started from a terminal: what its arguments mean (relative names,
// options), what it says on stderr, its start without a display, and that nothing it
// holds open would pass to a program it started. Copies that a test starts are killed
// when it ends, whatever happens.

#include "PeltoCopies.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList linesOf(const QByteArray& output) {
    return QString::fromLocal8Bit(output).split(u'\n', Qt::SkipEmptyParts);
}

// The descriptors a process holds above stderr, as "N target", and those of them that
// an exec would keep open.
struct Descriptors {
    QStringList open, inherited;
};

Descriptors descriptorsOf(qint64 pid) {
    Descriptors d;
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    for (const QString& fd : QDir(proc + "fdinfo").entryList(QDir::Files)) {
        if (fd.toInt() <= 2)
            continue;
        QFile info(proc + "fdinfo/" + fd);
        if (!info.open(QIODevice::ReadOnly))
            continue; // closed meanwhile
        const QString target = fd + ' ' + QFile::symLinkTarget(proc + "fd/" + fd);
        d.open << target;
        const QByteArray flags = info.readAll().split('\n').value(1); // "flags:\t0..."
        if (!flags.startsWith("flags:") || !(flags.mid(6).trimmed().toInt(nullptr, 8) & O_CLOEXEC))
            d.inherited << target;
    }
    return d;
}

} // namespace

class TestPeltoLaunch : public QObject {
    Q_OBJECT
private slots:
    // Names typed relative to a terminal's folder mean files there, in the first launch
    // and in a hand-off from another folder, and still do after a restart elsewhere.
    void relativeNamesMeanTheLaunchingFolder() {
        PeltoCopies copies;
        for (const char* folder : {"first place", "second", "third"})
            QVERIFY(QDir(copies.home()).mkpath(folder));
        const QString a = copies.file("first place/a.wav"), b = copies.file("second/b.wav"),
                      c = copies.file("second/c.wav");
        for (const QString& name : {a, b, c})
            QVERIFY(QFile::link(copies.file("song.wav"), name));

        copies.setWorkingFolder(copies.file("first place"));
        QProcess* first = copies.start({"a.wav"}, copies.env());
        PeltoState s = copies.waitForState(0);
        QCOMPARE(s.rows, QStringList{a});
        QCOMPARE(s.dmyFileName, a);
        QCOMPARE(s.playState, 1);

        copies.setWorkingFolder(copies.file("second"));
        QCOMPARE(copies.run({"b.wav", "./c.wav", "../first place/a.wav"}, copies.env()), 0);
        s = copies.state();
        QCOMPARE(s.rows, (QStringList{a, b, c, a}));
        QCOMPARE(s.trNum, 2);
        QCOMPARE(s.dmyFileName, b);
        QCOMPARE(s.playState, 1);

        first->terminate();
        QVERIFY(first->waitForFinished(10000));
        QFile::remove(copies.statePath());
        copies.setWorkingFolder(copies.file("third"));
        QProcess* next = copies.start({}, copies.env());
        QCOMPARE(copies.waitForState(0).rows, (QStringList{a, b, c, a}));
        // A hand-off from the third folder plays what it names there.
        QCOMPARE(copies.run({"../second/c.wav"}, copies.env()), 0);
        s = copies.state();
        QCOMPARE(s.rows, (QStringList{a, b, c, a, c}));
        QCOMPARE(s.trNum, 5);
        QCOMPARE(s.playState, 1);
        QVERIFY(isRunning(next));
    }

    // --help and --version answer at once and leave a running copy alone.
    void optionsAnswerWithoutTouchingARunningCopy() {
        PeltoCopies copies;
        QProcess* first = copies.start({copies.song("a.wav")}, copies.env());
        QCOMPARE(copies.waitForState(0).playState, 1);
        const QString version = QStringLiteral("Pelto " PELTO_VERSION "\n");
        const QList<QStringList> launches = {{"--help"}, {"-h", "b.wav"}, {"--version"}, {"-V"}};
        for (const QStringList& arguments : launches) {
            QProcess* p = copies.start(arguments + QStringList{copies.song("b.wav")}, copies.env());
            QVERIFY2(p->waitForFinished(1000), qPrintable(arguments.join(u' ')));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            const QString out = QString::fromLocal8Bit(p->readAllStandardOutput());
            if (arguments[0] == u"--version" || arguments[0] == u"-V") {
                QCOMPARE(out, version);
            } else {
                QVERIFY(out.startsWith(u"Usage: pelto "));
                for (const char* word :
                     {"--help", "--version", "PELTO_HOME", "Pelto.cfg", "Pelto.m3u", "--play-pause",
                      "--play ", "--pause", "--stop", "--next", "--previous", "--status",
                      "exit with 1", ".flac", ".ogg", ".oga", ".opus", ".m3u8", ".pls"})
                    QVERIFY2(out.contains(QLatin1String(word)), word);
            }
        }
        const PeltoState s = copies.state();
        QCOMPARE(s.handOffs, 0);
        QCOMPARE(s.rows.size(), 1);
        QVERIFY(isRunning(first));
    }

    // While a copy plays, with its windows, its single instance and a hand-off behind
    // it, every descriptor it holds is closed on exec.
    void descriptorsAreClosedOnExec() {
        PeltoCopies copies;
        QProcess* first = copies.start({copies.song("a.wav")}, copies.env());
        QCOMPARE(copies.waitForState(0).playState, 1);
        QCOMPARE(copies.run({copies.song("b.wav")}, copies.env()), 0);
        QCOMPARE(copies.waitForState(1).playState, 1);
        const Descriptors d = descriptorsOf(first->processId());
        // The song that plays (b.wav links to it) and the single instance's lock are
        // among them.
        QVERIFY2(!d.open.filter(copies.file("song.wav")).isEmpty() &&
                     !d.open.filter(copies.place().lockPath).isEmpty(),
                 qPrintable(d.open.join(u'\n')));
        QVERIFY2(d.inherited.isEmpty(), qPrintable(d.inherited.join(u'\n')));
        QVERIFY(isRunning(first));
    }

    void withoutADisplayOneLineAndAFailure() {
        PeltoCopies copies;
        copies.setKeepErrors(true);
        QProcess* p = copies.start({copies.song("a.wav")},
                                   {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
        QVERIFY(p->waitForFinished(1000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 1);
        const QStringList lines = linesOf(p->readAllStandardError());
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].startsWith(u"Pelto: no display"));
        // It ended before it claimed the single instance or wrote anything.
        QVERIFY(!QFile::exists(copies.place().lockPath));
        QVERIFY(!QFile::exists(copies.file("Pelto.cfg")));
    }

    // Each file that cannot be played is named on stderr with the reason, once, and
    // playback goes on with the next row.
    void unplayableFilesAreNamedOnStderr() {
        PeltoCopies copies;
        copies.setKeepErrors(true);
        const QString missing = copies.file("missing.mp3"), folder = copies.file("folder.mp3"),
                      text = copies.file("text.mp3"), locked = copies.file("locked.wav");
        QVERIFY(QDir().mkpath(folder));
        for (const QString& path : {text, locked}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("plain text, not audio\n");
        }
        QVERIFY(QFile::setPermissions(locked, {}));
        // The superuser reads any file, so there the locked file is merely not audio.
        const QString lockedReason =
            geteuid() == 0 ? QStringLiteral("not MPEG audio, Wave, FLAC, Ogg Vorbis or Opus")
                           : QStringLiteral("cannot be read (Permission denied)");
        const QString good = copies.song("good.wav");

        QProcess* first = copies.start({missing, folder, text, locked, good}, copies.env());
        const PeltoState s = copies.waitForState(0);
        QCOMPARE(s.trNum, 5);
        QCOMPARE(s.playState, 1);
        first->terminate();
        QVERIFY(first->waitForFinished(10000));
        const QStringList lines =
            linesOf(first->readAllStandardError())
                .filter(QRegularExpression(QStringLiteral("^Pelto: cannot play ")));
        QCOMPARE(lines, (QStringList{"Pelto: cannot play " + missing + ": no such file",
                                     "Pelto: cannot play " + folder + ": a folder, not a file",
                                     "Pelto: cannot play " + text +
                                         ": not MPEG audio, Wave, FLAC, Ogg Vorbis or Opus",
                                     "Pelto: cannot play " + locked + ": " + lockedReason}));
    }
};

QTEST_GUILESS_MAIN(TestPeltoLaunch)
#include "tst_pelto_launch.moc"
