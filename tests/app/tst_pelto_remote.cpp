// The real program controlled from the shell. A first copy plays three songs under
// the offscreen platform, with SDL's disk driver writing what it plays to a file;
// each `pelto --play-pause`, `--play`, `--pause`, `--stop`, `--next`, `--previous` and
// `--status` is the real binary started as a second process without a display. Each
// command's effect is seen in the status the running copy prints and heard in the
// samples it plays (every song has a level of its own). Without a running copy each
// option says so on stderr, exits with 1 and starts nothing. The desktop entry's
// actions are run from their Exec lines.
#include "PeltoCopies.h"
#include "Spawned.h"
#include "TestFiles.h"
#include "TestWave.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

using namespace pelto::test;

namespace {

const QString kPelto = QStringLiteral(PELTO_BINARY_DIR "/pelto");
const QStringList kActions = {"PlayPause", "Next", "Previous", "Stop"};
const QStringList kOptions = {"--play-pause", "--play",     "--pause", "--stop",
                              "--next",       "--previous", "--status"};

// The songs a, b and c: 30 seconds each at one level of their own, so what is heard
// names the song. The volume is full, so a level is heard as it is.
struct Song {
    QString name;
    qint16 level;
};
const Song kSongs[] = {{"a", 4000}, {"b", 8000}, {"c", 12000}};

// A running copy with the three songs, their names on its command line.
class Rig {
public:
    PeltoCopies copies;
    QString played = copies.file("played.raw");
    QProcess* first = nullptr;

    bool writeSongs() {
        for (const Song& s : kSongs)
            if (!writeTestWave(copies.file(s.name + ".wav"), 8000, 1, 30,
                               [level = s.level](int) { return level; }))
                return false;
        return writeFile(copies.file("Pelto.cfg"),
                         "[Pelto SaveData Type 2]\r\nWavVolume,31\r\nSavePlayList,1\r\n");
    }

    QStringList firstEnvironment() const {
        return copies.env() + QStringList{"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + played};
    }

    bool start() {
        if (!writeSongs())
            return false;
        QStringList names;
        for (const Song& s : kSongs)
            names.append(copies.file(s.name + ".wav"));
        first = copies.start(names, firstEnvironment());
        return copies.waitForState(0).rows.size() == 3;
    }

    // A second process of the real binary, for the same settings, without a display:
    // the remote commands need none.
    QProcessEnvironment remoteEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELTO_HOME", copies.home());
        env.insert("PELTO_TEST_STATE_FILE", copies.statePath());
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        return env;
    }
    Spawned::Result remote(const QStringList& arguments,
                           const QString& program = QStringLiteral(PELTO_BINARY_DIR "/pelto")) {
        return Spawned::run(program, arguments, remoteEnvironment(), 40000);
    }
    // A command that prints nothing and succeeds.
    bool command(const QString& option) {
        const Spawned::Result r = remote({option});
        if (r.exitCode != 0 || !r.out.isEmpty() || !r.err.isEmpty())
            qWarning("%s: exit %d, out \"%s\", err \"%s\"", qPrintable(option), r.exitCode,
                     qPrintable(r.out), qPrintable(r.err));
        return r.exitCode == 0 && r.out.isEmpty() && r.err.isEmpty();
    }

    // `pelto --status`, as name and value of each line.
    QHash<QString, QString> status() {
        const Spawned::Result r = remote({"--status"});
        QHash<QString, QString> values;
        if (r.exitCode != 0)
            return values;
        const QStringList lines = r.out.split(u'\n');
        if (lines.size() != 5 || !lines.last().isEmpty())
            return values;
        for (const QString& line : lines.first(4))
            values.insert(line.section(QStringLiteral(": "), 0, 0),
                          line.section(QStringLiteral(": "), 1));
        return values;
    }
    QString state() { return status().value("state"); }
    int positionSec() {
        const QString mmss = status().value("position").section(u'/', 0, 0);
        return mmss.section(u':', 0, 0).toInt() * 60 + mmss.section(u':', 1, 1).toInt();
    }

    // The level of the last frame heard that is not silent (0 when none).
    float lastHeard() const {
        const std::vector<PlayedFrame> frames =
            framesOf(played, std::max<qint64>(0, frameCount(played) - 8000));
        for (auto f = frames.rbegin(); f != frames.rend(); ++f)
            if (f->left != 0.0f)
                return f->left;
        return 0.0f;
    }
    qint64 soundingFrames() const {
        qint64 n = 0;
        for (const PlayedFrame& f : framesOf(played))
            n += f.left != 0.0f;
        return n;
    }
    // Whether the song is what is heard now: new sound at its level keeps coming.
    bool hearing(const Song& song) {
        const float level = float(song.level) / 32768.0f;
        return QTest::qWaitFor(
            [&] {
                const qint64 before = soundingFrames();
                QTest::qWait(300);
                return soundingFrames() > before && std::abs(lastHeard() - level) < 1e-4f;
            },
            10000);
    }
    // Whether nothing more is heard: no new sound over a second, once what was on its
    // way to the device has played out.
    bool silent() {
        QTest::qWait(500);
        const qint64 before = soundingFrames();
        QTest::qWait(1000);
        return soundingFrames() <= before;
    }
};

// The groups of a desktop entry, each a map of its keys.
QHash<QString, QHash<QString, QString>> desktopEntry(const QString& path) {
    QHash<QString, QHash<QString, QString>> groups;
    QString group;
    for (const QString& line : QString::fromUtf8(readFile(path)).split(u'\n')) {
        if (line.startsWith(u'[') && line.endsWith(u']'))
            group = line.mid(1, line.size() - 2);
        else if (line.contains(u'=') && !line.startsWith(u'#'))
            groups[group].insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return groups;
}

// The program an Exec or TryExec line names, found as the desktop would find it on a
// PATH that holds the build folder.
QString programOf(const QString& name) {
    return QStandardPaths::findExecutable(name, {QStringLiteral(PELTO_BINARY_DIR)});
}

} // namespace

class TestPeltoRemote : public QObject {
    Q_OBJECT
private slots:
    void eachCommandActsOnTheRunningCopy() {
        Rig r;
        QVERIFY(r.start());
        QHash<QString, QString> s = r.status();
        QCOMPARE(s.value("state"), QString("playing"));
        QCOMPARE(s.value("row"), QString("1/3"));
        QCOMPARE(s.value("title"), QString("a"));
        QVERIFY2(s.value("position").endsWith("/00:30"), qPrintable(s.value("position")));
        QVERIFY(r.hearing(kSongs[0]));

        // --pause pauses; again, it stays paused; the position holds.
        QVERIFY(r.command("--pause"));
        QCOMPARE(r.state(), QString("paused"));
        QVERIFY(r.silent());
        const int pausedAt = r.positionSec();
        QVERIFY(r.command("--pause"));
        QCOMPARE(r.state(), QString("paused"));
        QTest::qWait(1200);
        QCOMPARE(r.positionSec(), pausedAt);

        // --play resumes the same song where it was; again, it changes nothing.
        QVERIFY(r.command("--play"));
        QCOMPARE(r.state(), QString("playing"));
        QVERIFY(r.hearing(kSongs[0]));
        QVERIFY(r.command("--play"));
        QCOMPARE(r.status().value("row"), QString("1/3"));
        QVERIFY(r.positionSec() >= pausedAt);

        // --play-pause turns between the two.
        QVERIFY(r.command("--play-pause"));
        QCOMPARE(r.state(), QString("paused"));
        QVERIFY(r.silent());
        QVERIFY(r.command("--play-pause"));
        QCOMPARE(r.state(), QString("playing"));
        QVERIFY(r.hearing(kSongs[0]));

        // --next and --previous move along the playlist and play.
        QVERIFY(r.command("--next"));
        s = r.status();
        QCOMPARE(s.value("row"), QString("2/3"));
        QCOMPARE(s.value("title"), QString("b"));
        QCOMPARE(s.value("state"), QString("playing"));
        QVERIFY(r.hearing(kSongs[1]));
        QVERIFY(r.command("--next"));
        QCOMPARE(r.status().value("row"), QString("3/3"));
        QVERIFY(r.hearing(kSongs[2]));
        QVERIFY(r.command("--previous"));
        QVERIFY(r.command("--previous"));
        QCOMPARE(r.status().value("title"), QString("a"));
        QVERIFY(r.hearing(kSongs[0]));

        // --stop stops; --play-pause then plays the current row from its beginning.
        QVERIFY(r.command("--stop"));
        s = r.status();
        QCOMPARE(s.value("state"), QString("stopped"));
        QCOMPARE(s.value("row"), QString("1/3"));
        QVERIFY(r.silent());
        QVERIFY(r.command("--next"));
        QVERIFY(r.command("--stop"));
        QVERIFY(r.command("--play-pause"));
        s = r.status();
        QCOMPARE(s.value("state"), QString("playing"));
        QCOMPARE(s.value("row"), QString("2/3"));
        QVERIFY(r.hearing(kSongs[1]));

        // The running copy is the only one: it still runs, and the commands wrote no
        // file of their own (the state file follows the first copy's load only).
        QVERIFY(isRunning(r.first));
        QCOMPARE(r.copies.state().handOffs, 0);
        // Its saved state follows too: at its end, Pelto.cfg's current row is row 2.
        r.first->terminate();
        QVERIFY(r.first->waitForFinished(10000));
        QVERIFY(readFile(r.copies.file("Pelto.cfg")).contains("PlayListTrNum,2\r\n"));
    }

    void commandsDuringTheLoadWaitForIt() {
        Rig r;
        QVERIFY(r.writeSongs());
        // A long saved playlist keeps the first copy loading for a while.
        QFile m3u(r.copies.file("Pelto.m3u"));
        QVERIFY(m3u.open(QIODevice::WriteOnly));
        for (int i = 0; i < 3000; ++i)
            m3u.write("a.wav\r\n");
        m3u.close();
        r.copies.start({}, r.firstEnvironment());
        const QDeadlineTimer deadline(10000);
        while (!QFile::exists(r.copies.place().lockPath) && !deadline.hasExpired())
            QTest::qWait(1);
        QVERIFY(r.copies.state().handOffs < 0); // still loading
        QVERIFY(r.status().value("row").endsWith("/3000"));
        QVERIFY(r.command("--play"));
        QCOMPARE(r.state(), QString("playing"));
    }

    void withoutARunningCopyNothingStarts() {
        Rig r;
        QVERIFY(r.writeSongs());
        const QStringList filesBefore = QDir(r.copies.home()).entryList(QDir::Files);
        for (const QString& option : kOptions) {
            QElapsedTimer timer;
            timer.start();
            const Spawned::Result result = r.remote({option});
            QCOMPARE(result.exitCode, 1);
            QCOMPARE(result.out, QString());
            QCOMPARE(result.err, "Pelto: " + option + ": Pelto is not running\n");
            // It knew at once: no copy was started in the meantime and waited for.
            QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        }
        // Nothing started: no copy loaded (it would have written the state file), none
        // holds the lock, no file was written.
        QVERIFY(!QFile::exists(r.copies.statePath()));
        QLockFile lock(r.copies.place().lockPath);
        QVERIFY(lock.tryLock(0));
        lock.unlock();
        QCOMPARE(QDir(r.copies.home()).entryList(QDir::Files), filesBefore);

        // The running copy of other settings is not this one's.
        PeltoCopies other;
        other.start({}, other.env());
        QVERIFY(other.waitForState(0).handOffs == 0);
        QCOMPARE(r.remote({"--status"}).exitCode, 1);
    }

    void desktopActionsRunTheirCommands() {
        const auto entry = desktopEntry(QStringLiteral(PELTO_SOURCE_DIR "/data/pelto.desktop"));
        const QHash<QString, QString> main = entry.value("Desktop Entry");
        QCOMPARE(programOf(main.value("TryExec")), kPelto);
        QCOMPARE(main.value("Actions"), kActions.join(u';') + u';');
        const auto exec = [&](const QString& action) {
            const QStringList words =
                entry.value("Desktop Action " + action).value("Exec").split(u' ');
            return std::make_pair(programOf(words.first()), words.mid(1));
        };
        for (const QString& action : kActions)
            QCOMPARE(exec(action).first, kPelto);

        Rig r;
        QVERIFY(r.start());
        const auto run = [&](const QString& action) {
            const auto [program, arguments] = exec(action);
            return r.remote(arguments, program).exitCode;
        };
        QCOMPARE(run("PlayPause"), 0);
        QCOMPARE(r.state(), QString("paused"));
        QCOMPARE(run("PlayPause"), 0);
        QCOMPARE(r.state(), QString("playing"));
        QCOMPARE(run("Next"), 0);
        QCOMPARE(r.status().value("row"), QString("2/3"));
        QVERIFY(r.hearing(kSongs[1]));
        QCOMPARE(run("Previous"), 0);
        QCOMPARE(r.status().value("row"), QString("1/3"));
        QVERIFY(r.hearing(kSongs[0]));
        QCOMPARE(run("Stop"), 0);
        QCOMPARE(r.state(), QString("stopped"));
        QVERIFY(r.silent());

        // With the copy gone, each action says so and starts none.
        r.first->terminate();
        QVERIFY(r.first->waitForFinished(10000));
        for (const QString& action : kActions)
            QCOMPARE(run(action), 1);
        QLockFile lock(r.copies.place().lockPath);
        QVERIFY(lock.tryLock(0));
    }
};

QTEST_MAIN(TestPeltoRemote)
#include "tst_pelto_remote.moc"
