// The find window of the real program on a private X display with openbox, both started
// here, driven by the keyboard as a user would: Ctrl+F and Ctrl+J in the playlist window
// open it (and not in the main window), typing narrows it, Down moves in it, Enter plays
// the chosen row (heard through SDL's disk driver: every song has a level of its own),
// Shift+Enter selects the row in the playlist (which the playlist's Delete key then
// removes), the list follows that deletion and a sort by a click on the header while
// it is open, and Esc closes it, which keeps its place for the next opening. The end of
// the program saves the playlist and the current row that follow. Every process
// started here ends with the test.
#include "ConfigEntries.h"
#include "Desktop.h"
#include "TestFiles.h"
#include "TestWave.h"
#include "player/VolumeControl.h"

#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

using namespace pelto;
using namespace pelto::test;

namespace {

// The songs, in the saved playlist's order; song k plays at the level k × kLevelStep.
const char* const kSongs[] = {"朝のうた",   "さくら", "Morning Coffee",
                              "サクラ咲ケ", "ＡＢＣ", "ﾃｽﾄ曲"};
constexpr int kLevelStep = 1000;
constexpr int kVolumeStep = 31;

} // namespace

class TestFindWindowX11 : public QObject {
    Q_OBJECT
private slots:
    void keysFindPlaySelectAndFollow();
};

void TestFindWindowX11::keysFindPlaySelectAndFollow() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin")));
    QByteArray m3u;
    for (int k = 1; k <= int(std::size(kSongs)); ++k) {
        const QString name = QString::fromUtf8(kSongs[k - 1]) + ".wav";
        QVERIFY(writeTestWave(home.filePath(name), 8000, 1, 60,
                              [k](int) { return qint16(k * kLevelStep); }));
        m3u += name.toUtf8() + "\r\n";
    }
    QVERIFY(writeFile(home.filePath("Pelto.m3u"), m3u));
    QVERIFY(writeFile(home.filePath("Pelto.cfg"),
                      "[Pelto SaveData Type 2]\r\nMainPlayer_X,20\r\nMainPlayer_Y,20\r\n"
                      "PlayList_X,20\r\nPlayList_Y,200\r\nPlayList_SizeX,420\r\n"
                      "PlayList_SizeY,260\r\nPlayList_Visible,1\r\nWavVolume," +
                          QByteArray::number(kVolumeStep) + "\r\n"));

    Desktop desktop;
    QVERIFY2(desktop.start(), "no display with a window manager");
    const QString played = home.filePath("played.raw");
    QProcess* pelto = desktop.startPelto(home.path(), home.filePath("state.json"), played);
    const auto run = [&](const QString& program, const QStringList& args) {
        return desktop.run(program, args);
    };
    const auto windowNamed = [&](const QString& pattern) { return desktop.windowNamed(pattern); };

    QString main, playlist;
    QVERIFY(QTest::qWaitFor([&] { return !(main = windowNamed("^Pelto$")).isEmpty(); }, 20000));
    QVERIFY(QTest::qWaitFor([&] { return !(playlist = windowNamed("^プレイリスト$")).isEmpty(); },
                            10000));
    const auto keysTo = [&](const QString& window, const QStringList& keys) {
        run("xdotool", {"windowactivate", "--sync", window});
        QTest::qWait(300);
        run("xdotool", QStringList{"key", "--delay", "80"} + keys);
    };
    const auto findWindow = [&] { return windowNamed("^曲を探す$"); };
    const auto type = [&](const QString& text) {
        run("xdotool", {"type", "--delay", "120", text});
        QTest::qWait(300);
    };
    // The song heard last: its number in kSongs, 0 for silence.
    const std::uint32_t gains = volumeTableValue(kVolumeStep);
    const float unit = float(kLevelStep) / 32768.0f * float(gains & 0xFFFF) / 65535.0f;
    const auto songHeard = [&] {
        const std::vector<PlayedFrame> frames =
            framesOf(played, std::max<qint64>(0, frameCount(played) - 2048));
        for (auto f = frames.rbegin(); f != frames.rend(); ++f)
            if (f->left != 0.0f)
                return qRound(f->left / unit);
        return 0;
    };
    const auto heard = [&](int song) {
        return QTest::qWaitFor([&] { return songHeard() == song; }, 10000);
    };

    // The main window keeps its own keys: Ctrl+F there opens nothing.
    keysTo(main, {"ctrl+f"});
    QTest::qWait(1000);
    QVERIFY(findWindow().isEmpty());

    // Ctrl+F: "さくら" finds the hiragana and the katakana title; Down, Enter plays the
    // second and closes the window.
    keysTo(playlist, {"ctrl+f"});
    QString find;
    QVERIFY2(QTest::qWaitFor([&] { return !(find = findWindow()).isEmpty(); }, 10000),
             "Ctrl+F opened no find window");
    type("さくら");
    run("xdotool", {"key", "--delay", "80", "Down", "Return"});
    QVERIFY2(heard(4), qPrintable(QStringLiteral("heard song %1").arg(songHeard())));
    QVERIFY(QTest::qWaitFor([&] { return findWindow().isEmpty(); }, 5000));

    // Ctrl+J: the query typed over the last one; half-width letters find full-width ones.
    keysTo(playlist, {"ctrl+j"});
    QVERIFY2(QTest::qWaitFor([&] { return !(find = findWindow()).isEmpty(); }, 10000),
             "Ctrl+J opened no find window");
    type("abc");
    run("xdotool", {"key", "Return"});
    QVERIFY2(heard(5), qPrintable(QStringLiteral("heard song %1").arg(songHeard())));

    // Esc closes; moved, the window opens again where it was left.
    keysTo(playlist, {"ctrl+f"});
    QVERIFY(QTest::qWaitFor([&] { return !(find = findWindow()).isEmpty(); }, 10000));
    run("xdotool", {"windowmove", "--sync", find, "300", "150"});
    QTest::qWait(300);
    const QRect place = desktop.geometryOf(find);
    run("xdotool", {"key", "Escape"});
    QVERIFY(QTest::qWaitFor([&] { return findWindow().isEmpty(); }, 5000));
    keysTo(playlist, {"ctrl+f"});
    QVERIFY(QTest::qWaitFor([&] { return !(find = findWindow()).isEmpty(); }, 10000));
    QTRY_COMPARE(desktop.geometryOf(find), place);

    // Shift+Enter selects "さくら" in the playlist, whose Delete key removes it; the open
    // list follows, and Enter plays what it shows now.
    type("さくら");
    run("xdotool", {"key", "shift+Return"});
    QTest::qWait(300);
    QVERIFY(!findWindow().isEmpty());
    keysTo(playlist, {"Delete"});
    keysTo(find, {"Return"});
    QVERIFY2(heard(4), qPrintable(QStringLiteral("heard song %1").arg(songHeard())));

    // Every row listed by a space, the first, "朝のうた", chosen. A click on the
    // playlist's title header sorts it to the third row while the list is open: the
    // list follows, the song stays chosen and Enter plays it.
    keysTo(playlist, {"ctrl+f"});
    QVERIFY(QTest::qWaitFor([&] { return !(find = findWindow()).isEmpty(); }, 10000));
    run("xdotool", {"key", "space"});
    run("xdotool", {"mousemove", "--window", playlist, "40", "26", "click", "1"});
    QTest::qWait(500);
    keysTo(find, {"Return"});
    QVERIFY2(heard(1), qPrintable(QStringLiteral("heard song %1").arg(songHeard())));

    // The program ends the normal way and saves what the rows became.
    QFile::remove(home.filePath("Pelto.m3u"));
    ::kill(pid_t(pelto->processId()), SIGTERM);
    QVERIFY(pelto->waitForFinished(10000));
    QCOMPARE(readFile(home.filePath("Pelto.m3u")),
             QString("Morning Coffee.wav\r\nサクラ咲ケ.wav\r\n朝のうた.wav\r\nＡＢＣ.wav\r\n"
                     "ﾃｽﾄ曲.wav\r\n")
                 .toUtf8());
    QCOMPARE(configEntries(home.filePath("Pelto.cfg")).value("PlayListTrNum"), QString("3"));
}

QTEST_GUILESS_MAIN(TestFindWindowX11)
#include "tst_find_window_x11.moc"
