// The real program started more than once: later launches hand their files to the
// running copy, which appends them and plays the first. The running copy reports its
// playlist through PELTO_TEST_STATE_FILE after its load and after every hand-off.

#include "PeltoCopies.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <unistd.h>

class TestPeltoHandOff : public QObject {
    Q_OBJECT
private slots:
    void filesAreAppendedAndTheFirstPlays() {
        PeltoCopies copies;
        const QString e1 = copies.song("e1.wav"), e2 = copies.song("e2.wav");
        const QString f1 = copies.song("f1.wav"), spaced = copies.song("my song.wav");
        QFile m3u(copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::WriteOnly));
        m3u.write("e1.wav\r\ne2.wav\r\n");
        m3u.close();

        QProcess* first = copies.start({}, copies.env());
        PeltoState s = copies.waitForState(0);
        QCOMPARE(s.rows, (QStringList{e1, e2}));
        QCOMPARE(s.playState, 0);
        const QStringList filesBefore = QDir(copies.home()).entryList(QDir::Files);
        const QDateTime m3uBefore = QFileInfo(m3u).lastModified();

        QCOMPARE(copies.run({f1, spaced}, copies.env()), 0);
        // The later launch returned only after the files were added and playing.
        s = copies.state();
        QCOMPARE(s.handOffs, 1);
        QCOMPARE(s.rows, (QStringList{e1, e2, f1, spaced}));
        QCOMPARE(s.trNum, 3);
        QCOMPARE(s.playState, 1);
        QCOMPARE(s.dmyFileName, f1);

        // A launch with nothing to add changes nothing.
        QCOMPARE(copies.run({}, copies.env()), 0);
        s = copies.state();
        QCOMPARE(s.handOffs, 2);
        QCOMPARE(s.rows, (QStringList{e1, e2, f1, spaced}));
        QCOMPARE(s.trNum, 3);
        QCOMPARE(s.playState, 1);

        // The quoted name with spaces arrives whole and becomes the playing row.
        QCOMPARE(copies.run({spaced}, copies.env()), 0);
        s = copies.state();
        QCOMPARE(s.rows.size(), 5);
        QCOMPARE(s.rows.last(), spaced);
        QCOMPARE(s.trNum, 5);
        QCOMPARE(s.dmyFileName, spaced);
        QVERIFY(isRunning(first));
        // The later launches wrote nothing into the program folder.
        QCOMPARE(QDir(copies.home()).entryList(QDir::Files), filesBefore);
        QCOMPARE(QFileInfo(m3u).lastModified(), m3uBefore);
    }

    void launchDuringTheLoadIsNotLost() {
        PeltoCopies copies;
        // A long saved playlist keeps the first copy busy loading for a while.
        const QString song = copies.song("a.wav");
        QFile m3u(copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::WriteOnly));
        for (int i = 0; i < 3000; ++i)
            m3u.write("a.wav\r\n");
        m3u.close();
        const QString late = copies.song("late.wav");

        copies.start({}, copies.env());
        const QDeadlineTimer deadline(10000);
        while (!QFile::exists(copies.place().lockPath) && !deadline.hasExpired())
            QThread::msleep(1);
        QVERIFY(copies.state().handOffs < 0); // still loading
        QCOMPARE(copies.run({late}, copies.env(), 30000), 0);
        const PeltoState s = copies.state();
        QCOMPARE(s.handOffs, 1);
        QCOMPARE(s.rows.size(), 3001);
        QCOMPARE(s.rows.last(), late);
        QCOMPARE(s.trNum, 3001);
    }

    void fiftyLaunchesAtOnce() {
        PeltoCopies copies;
        constexpr int n = 50;
        QStringList names;
        QList<QProcess*> processes;
        for (int i = 0; i < n; ++i)
            names.append(copies.song(QStringLiteral("f%1.wav").arg(i)));
        for (int i = 0; i < n; ++i)
            processes.append(copies.start({names[i]}, copies.env()));

        const QList<QProcess*> running = CopyLauncher::waitUntilRemaining(processes, 1, 60000);
        QCOMPARE(running.size(), 1);
        for (QProcess* p : processes)
            if (p != running[0])
                QCOMPARE(p->exitCode(), 0);
        const PeltoState s = copies.waitForState(n - 1);
        QCOMPARE(s.handOffs, n - 1);
        QStringList rows = s.rows;
        rows.sort();
        names.sort();
        QCOMPARE(rows, names);
    }

    void closedCopyKeepsHandedFilesAndMakesWay() {
        PeltoCopies copies;
        const QString a = copies.song("a.wav"), b = copies.song("b.wav");
        QProcess* first = copies.start({a}, copies.env());
        QCOMPARE(copies.waitForState(0).rows, QStringList{a});
        QCOMPARE(copies.run({b}, copies.env()), 0);
        // SIGTERM closes the main window the normal way: the close query ends the
        // hand-offs and the unload saves the playlist with the handed-over row.
        first->terminate();
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitCode(), 0);
        QFile m3u(copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(m3u.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
                 (QStringList{"a.wav", "b.wav"}));

        QFile::remove(copies.statePath());
        QProcess* next = copies.start({}, copies.env());
        QCOMPARE(copies.waitForState(0).rows, (QStringList{a, b}));
        QVERIFY(isRunning(next));
    }

    void killedCopyDoesNotBlockTheNextStart() {
        PeltoCopies copies;
        const QString a = copies.song("a.wav"), b = copies.song("b.wav");
        QProcess* first = copies.start({a}, copies.env());
        QCOMPARE(copies.waitForState(0).rows, QStringList{a});
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QFile::remove(copies.statePath());

        QProcess* next = copies.start({b}, copies.env());
        QCOMPARE(copies.waitForState(0).rows, QStringList{b});
        QCOMPARE(copies.run({a}, copies.env()), 0);
        QCOMPARE(copies.state().rows, (QStringList{b, a}));
        QVERIFY(isRunning(next));
    }

    void namesThatAreNotUtf8KeepTheirBytes() {
        // Songs whose names are bytes from old disks (Latin-1, Shift-JIS), named on the
        // command line of the first launch and of a later one: each plays, and
        // Pelto.m3u gets the names back with the bytes they have on the disk. A test
        // can pass arguments only as text, so a script makes the bytes.
        QTemporaryDir scripts;
        QFile script(scripts.filePath("launch.sh"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "for a; do shift; set -- \"$@\" \"$(printf '%b' \"$a\")\"; done\n"
                     "exec '" PELTO_BINARY_DIR "/pelto' \"$@\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        PeltoCopies copies(script.fileName());
        const QByteArray home = QFile::encodeName(copies.home()) + '/';
        const QByteArray names[] = {"caf\xE9.wav", "\x83\x65\x83\x58.wav"};
        // Qt cannot name them to remove them with the folder.
        const auto removeNames = qScopeGuard([&] {
            for (const QByteArray& name : names)
                ::unlink((home + name).constData());
        });
        for (const QByteArray& name : names)
            QCOMPARE(::symlink("song.wav", (home + name).constData()), 0);
        const auto escaped = [&](const QByteArray& name) {
            QString text;
            for (char c : home + name)
                text +=
                    quint8(c) < 0x80 ? QString(QChar(c)) : QString::asprintf("\\0%03o", quint8(c));
            return text;
        };

        QProcess* first = copies.start({escaped(names[0])}, copies.env());
        PeltoState s = copies.waitForState(0);
        QCOMPARE(s.rows.size(), 1);
        QCOMPARE(s.playState, 1);
        QCOMPARE(copies.run({escaped(names[1])}, copies.env()), 0);
        s = copies.state();
        QCOMPARE(s.rows.size(), 2);
        QCOMPARE(s.trNum, 2);
        QCOMPARE(s.playState, 1);
        first->terminate();
        QVERIFY(first->waitForFinished(10000));
        QFile m3u(copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::ReadOnly));
        QCOMPARE(m3u.readAll(), names[0] + "\r\n" + names[1] + "\r\n");
    }
};

QTEST_GUILESS_MAIN(TestPeltoHandOff)
#include "tst_pelto_hand_off.moc"
