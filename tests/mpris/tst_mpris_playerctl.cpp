// The real program on a real session bus, driven by playerctl, a client of the
// desktop's that nobody here wrote. Run inside dbus-run-session (CTest does); the
// test starts its own X display with a window manager for the keys, the program with
// SDL's disk driver, and playerctl, and ends every one of them however it ends.
//
// What is heard confirms play, pause, seek and volume: the first song holds, in its
// second k, the constant sample (k + 1) * 500, so each played frame tells which
// second it came from, and the two channels' ratio tells the volume step.
#include "Desktop.h"
#include "Spawned.h"
#include "TestWave.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <cmath>
#include <vector>

using namespace pelto::test;

namespace {

constexpr int kRate = 22050;
constexpr int kSeconds = 60;
using Frame = PlayedFrame;

} // namespace

class TestMprisPlayerctl : public QObject {
    Q_OBJECT
private slots:
    void playerctlDrivesTheProgram();

private:
    QProcessEnvironment m_env;
    QString m_played;

    QString playerctl(const QStringList& args) {
        const Spawned::Result r =
            Spawned::run("playerctl", QStringList{"-p", "pelto"} + args, m_env, 10000);
        return r.out.trimmed();
    }
    bool waitForStatus(const QString& status) {
        return QTest::qWaitFor([&] { return playerctl({"status"}) == status; }, 15000);
    }
    // The second of the levels song that frame f came from, given the level of
    // second 0 as heard; -1 for silence.
    static int secondOf(const Frame& f, float level0) {
        return f.left == 0.0f ? -1 : int(std::lround(std::abs(f.left) / level0)) - 1;
    }
    // The second heard last before frame `end`; -1 when nothing was.
    int lastSecondBefore(qint64 end, float level0) {
        const std::vector<Frame> frames = framesOf(m_played);
        for (qint64 i = std::min(end, qint64(frames.size())) - 1; i >= 0; --i)
            if (const int s = secondOf(frames[size_t(i)], level0); s >= 0)
                return s;
        return -1;
    }
    // Waits until a frame from one of the seconds [first, last] is heard after frame
    // `from`; gives the frame's index or -1.
    qint64 waitForSecond(qint64 from, int first, int last, float level0) {
        qint64 found = -1;
        (void)QTest::qWaitFor(
            [&] {
                const std::vector<Frame> frames = framesOf(m_played, from);
                for (size_t i = 0; i < frames.size(); ++i) {
                    const int s = secondOf(frames[i], level0);
                    if (s >= first && s <= last) {
                        found = from + qint64(i);
                        return true;
                    }
                }
                return false;
            },
            15000);
        return found;
    }
};

void TestMprisPlayerctl::playerctlDrivesTheProgram() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "playerctl", "lame"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside dbus-run-session");

    QTemporaryDir home, runtime;
    QVERIFY(home.isValid() && runtime.isValid());
    QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner));
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    const QString levels = home.filePath("levels song.wav");
    QVERIFY(writeTestWave(levels, kRate, 2, kSeconds, [](int k) { return qint16((k + 1) * 500); }));
    const QString tagged = home.filePath("tagged.mp3");
    m_env = QProcessEnvironment::systemEnvironment();
    QCOMPARE(Spawned::run("lame",
                          {"--quiet", "--tt", "Second Song", "--ta", "Somebody", "--tl",
                           "The Album", levels, tagged},
                          m_env, 60000)
                 .exitCode,
             0);

    // The window manager is ready before the program maps its window: a window mapped
    // while openbox starts up may stay unmanaged and unmapped.
    Desktop desktop;
    QVERIFY2(desktop.start(), "Xvfb or openbox did not start");
    m_env = desktop.environment();
    Spawned spawned;
    m_played = home.filePath("played.raw");
    QProcessEnvironment pelto = m_env;
    pelto.insert("QT_QPA_PLATFORM", "xcb");
    pelto.insert("PELTO_HOME", home.path());
    pelto.insert("XDG_RUNTIME_DIR", runtime.path());
    pelto.insert("SDL_AUDIODRIVER", "disk");
    pelto.insert("SDL_DISKAUDIOFILE", m_played);
    pelto.remove("SDL_DISKAUDIODELAY"); // real time
    // playerctl follows the status through the player's PropertiesChanged signals,
    // from the moment the player appears on the bus.
    QProcess* follow = spawned.start("playerctl", {"-p", "pelto", "--follow", "status"}, m_env);
    QVERIFY(follow->waitForStarted());
    QProcess* program = spawned.start(PELTO_BINARY_DIR "/pelto", {levels, tagged}, pelto);
    QVERIFY(program->waitForStarted());
    QVERIFY(waitForStatus("Playing"));
    QByteArray followed;

    // Play: the song's first second is heard.
    float level0 = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            for (const Frame& f : framesOf(m_played))
                if (f.left != 0.0f) {
                    level0 = std::abs(f.left);
                    return true;
                }
            return false;
        },
        15000));

    // Pause: nothing but silence is heard once the buffer in flight has played.
    playerctl({"play-pause"});
    QVERIFY(waitForStatus("Paused"));
    const qint64 pausedAt = frameCount(m_played);
    const int pausedSecond = lastSecondBefore(pausedAt, level0);
    QTest::qWait(600);
    const qint64 inFlight = 4096;
    const std::vector<Frame> whilePaused = framesOf(m_played, pausedAt + inFlight);
    QVERIFY2(whilePaused.size() > 2000, "the device wrote nothing while paused");
    for (const Frame& f : whilePaused)
        QCOMPARE(f.left, 0.0f);
    // Resume goes on where the song paused.
    playerctl({"play-pause"});
    QVERIFY(waitForStatus("Playing"));
    const qint64 resumed = frameCount(m_played);
    QVERIFY2(waitForSecond(resumed, pausedSecond, pausedSecond + 1, level0) >= 0,
             qPrintable(QStringLiteral("paused in second %1").arg(pausedSecond)));

    // Seek to 0:30: what plays on until the jump is heard, then second 30 and on.
    const qint64 seekedFrom = frameCount(m_played);
    const int before = lastSecondBefore(seekedFrom, level0);
    QVERIFY2(before >= 0 && before < 28, qPrintable(QString::number(before)));
    playerctl({"position", "30"});
    const qint64 heard = waitForSecond(seekedFrom, 30, 31, level0);
    QVERIFY(heard >= 0);
    const std::vector<Frame> around = framesOf(m_played, seekedFrom);
    for (size_t i = 0; i < around.size(); ++i) {
        const int s = secondOf(around[i], level0);
        const bool jumped = qint64(i) >= heard - seekedFrom;
        QVERIFY2(s < 0 || (jumped ? s >= 30 : s <= before + 1),
                 qPrintable(
                     QStringLiteral("second %1 heard around the seek from %2").arg(s).arg(before)));
    }
    const double position = playerctl({"position"}).toDouble();
    QVERIFY2(position >= 30.0 && position < 34.0, qPrintable(QString::number(position)));

    // Volume 0.5 is step 16 (16 / 31), the step that is louder on the left.
    playerctl({"volume", "0.5"});
    QCOMPARE(playerctl({"volume"}), QString::number(16.0 / 31.0, 'f', 6));
    const float ratio = float(0x8800) / float(0x8777);
    const qint64 volumeFrom = frameCount(m_played);
    QVERIFY(QTest::qWaitFor(
        [&] {
            for (const Frame& f : framesOf(m_played, volumeFrom))
                if (f.right != 0.0f && std::abs(f.left / f.right - ratio) < 1e-4f)
                    return true;
            return false;
        },
        15000));

    // Repeat.
    QCOMPARE(playerctl({"loop"}), QStringLiteral("None"));
    playerctl({"loop", "Playlist"});
    QCOMPARE(playerctl({"loop"}), QStringLiteral("Playlist"));

    // Metadata: the row as the playlist shows it (as pelto-info tags shows a row).
    const auto rowOf = [&](const QString& path) {
        const Spawned::Result r =
            Spawned::run(PELTO_BINARY_DIR "/pelto-info", {"tags", path}, m_env);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        return QStringLiteral("%1|%2|%3|%4")
            .arg(o["title"].toString(), o["artist"].toString())
            .arg(qint64(o["seconds"].toInt()) * 1000000)
            .arg(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    };
    const QStringList format{"metadata", "--format",
                             "{{xesam:title}}|{{xesam:artist}}|{{mpris:length}}|{{xesam:url}}"};
    QCOMPARE(playerctl(format), rowOf(levels));
    playerctl({"next"});
    QVERIFY(QTest::qWaitFor([&] { return playerctl(format) == rowOf(tagged); }, 10000));
    QVERIFY(playerctl(format).startsWith("Second Song|Somebody|"));
    QCOMPARE(playerctl({"metadata", "xesam:album"}), QStringLiteral("The Album"));
    playerctl({"previous"});
    QVERIFY(QTest::qWaitFor([&] { return playerctl(format) == rowOf(levels); }, 10000));

    // Keys pressed in the main window: the status follows.
    const Spawned::Result search = Spawned::run(
        "xdotool",
        {"search", "--sync", "--onlyvisible", "--pid", QString::number(program->processId())},
        m_env);
    const QString window = search.out.section(u'\n', 0, 0).trimmed();
    QVERIFY2(!window.isEmpty(), "the main window was not found");
    const auto key = [&](const char* name) {
        Spawned::run("xdotool", {"windowactivate", "--sync", window}, m_env);
        Spawned::run("xdotool", {"key", "--window", window, name}, m_env);
    };
    key("c");
    QVERIFY(waitForStatus("Paused"));
    key("c");
    QVERIFY(waitForStatus("Playing"));
    key("v");
    QVERIFY(waitForStatus("Stopped"));

    // Quit through the bus: the normal unload writes the settings with the repeat on.
    QDBusInterface root("org.mpris.MediaPlayer2.pelto", "/org/mpris/MediaPlayer2",
                        "org.mpris.MediaPlayer2");
    QVERIFY(root.call("Quit").type() != QDBusMessage::ErrorMessage);
    QVERIFY(program->waitForFinished(15000));
    QCOMPARE(program->exitCode(), 0);
    QFile cfg(home.filePath("Pelto.cfg"));
    QVERIFY(cfg.open(QIODevice::ReadOnly));
    QVERIFY(cfg.readAll().contains("RepeatPlay,1"));

    // What --follow saw, one line per change announced (repeats collapsed).
    (void)QTest::qWaitFor(
        [&] {
            followed += follow->readAllStandardOutput();
            return followed.contains("Stopped");
        },
        5000);
    QStringList seen;
    for (const QString& line : QString::fromUtf8(followed).split(u'\n'))
        if (!line.trimmed().isEmpty() && (seen.isEmpty() || seen.last() != line.trimmed()))
            seen.append(line.trimmed());
    const QStringList expected{"Playing", "Paused", "Playing", "Paused", "Playing", "Stopped"};
    QVERIFY2(seen.join(u' ').contains(expected.join(u' ')), qPrintable(seen.join(u' ')));
}

QTEST_GUILESS_MAIN(TestMprisPlayerctl)
#include "tst_mpris_playerctl.moc"
