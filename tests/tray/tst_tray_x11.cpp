// The tray icon and the popup menu of the real program on a real X display: a private
// Xvfb with openbox and the trayer panel, all started here. The same walk through the
// menu runs twice: first with no panel, the menu opened by the main window's power
// button (and the program says once on stderr that there is no tray), then with the
// panel, the menu opened by a right click on the docked icon. Its items, chosen with
// the keyboard, keep the main window and the playlist window on top (the window
// manager's _NET_WM_STATE_ABOVE), show the playlist window, play, set the volume to
// 50% (heard through SDL's disk driver at the gains of step 16), switch the skin, open
// and close the three dialogs, and end the program with Pelto.cfg and Pelto.m3u
// written. With the panel, a left click brings the minimised main window back.
// Every process started here ends with the test.
#include "ConfigEntries.h"
#include "Desktop.h"
#include "Spawned.h"
#include "TestFiles.h"
#include "TestWave.h"
#include "player/VolumeControl.h"
#include "skin/SkinReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdint>
#include <functional>

using namespace pelto;
using namespace pelto::test;

namespace {

QJsonObject stateOf(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

QRect windowOf(const QJsonObject& state) {
    const QJsonArray w = state.value("window").toArray();
    return QRect(w[0].toInt(), w[1].toInt(), w[2].toInt(), w[3].toInt());
}

// The song played: one level on both channels.
constexpr qint16 kSongSample = 16000;

// A home with the shipped skins and a saved playlist whose first song exists.
bool makeHome(const QString& home) {
    return QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home + "/skin") &&
           writeTestWave(home + "/first.wav", 22050, 2, 40, [](int) { return kSongSample; }) &&
           writeFile(home + "/Pelto.cfg",
                     "[Pelto SaveData Type 2]\r\nMainPlayer_X,40\r\nMainPlayer_Y,40\r\n") &&
           writeFile(home + "/Pelto.m3u", "first.wav\r\nsecond.wav\r\n");
}

// The levels a volume step gives the song on the left and the right channel.
PlayedFrame levelsAt(int step) {
    const std::uint32_t gains = volumeTableValue(step);
    const float full = float(kSongSample) / 32768.0f;
    return {full * float(gains & 0xFFFF) / 65535.0f, full * float(gains >> 16) / 65535.0f};
}

// The last frame heard that is not silent; a silent frame when none is.
PlayedFrame lastHeard(const QString& played) {
    const std::vector<PlayedFrame> frames =
        framesOf(played, std::max<qint64>(0, frameCount(played) - 4096));
    for (auto f = frames.rbegin(); f != frames.rend(); ++f)
        if (f->left != 0.0f)
            return *f;
    return PlayedFrame{0.0f, 0.0f};
}

// A key of the desktop entry's main group.
QString desktopEntryValue(const QString& key) {
    const QString text = QString::fromUtf8(readFile(PELTO_SOURCE_DIR "/data/pelto.desktop"));
    const QString main = text.section(QStringLiteral("\n["), 0, 0);
    for (const QString& line : main.split(u'\n'))
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    return QString();
}

} // namespace

// One running program: its home, what it reports, and what it plays.
struct Run {
    QTemporaryDir home;
    QString state = home.filePath("state.json");
    QString played = home.filePath("played.raw");
    QProcess* pelto = nullptr;
    QString icon; // the docked icon's window, when there is a tray
};

// One display for both runs: first without a tray, then with the panel started.
class TestTrayX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void withoutATrayThePowerButtonOpensTheMenu();
    void iconDocksAndTheMenuDrivesTheProgram();

private:
    Desktop m_desktop;

    bool startPelto(Run& run);
    QString mainWindow(const Run& run);
    void walkTheMenu(Run& run, const std::function<void()>& openMenu,
                     const std::function<void()>& beforeTheEnd);
};

void TestTrayX11::initTestCase() {
    for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xprop", "xwininfo"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    QVERIFY2(m_desktop.start(), "no display with a window manager");
}

bool TestTrayX11::startPelto(Run& run) {
    if (!run.home.isValid() || !makeHome(run.home.path()))
        return false;
    run.pelto = m_desktop.startPelto(run.home.path(), run.state, run.played);
    return QTest::qWaitFor([&] { return stateOf(run.state).contains("window"); }, 20000);
}

// The main window: the program's window of the size the program reports, which is not
// the docked icon.
QString TestTrayX11::mainWindow(const Run& run) {
    const QSize size = windowOf(stateOf(run.state)).size();
    for (const QString& id : m_desktop.windowsOfClass("pelto"))
        if (id != run.icon && m_desktop.geometryOf(id).size() == size)
            return id;
    return QString();
}

// Every item of the menu, each opened anew by openMenu and chosen with the keyboard;
// beforeTheEnd runs just before "Pelto の終了".
void TestTrayX11::walkTheMenu(Run& run, const std::function<void()>& openMenu,
                              const std::function<void()>& beforeTheEnd) {
    Desktop& desktop = m_desktop;
    const auto chooseFromMenu = [&](const QStringList& keys) {
        openMenu();
        if (!QTest::qWaitFor([&] { return desktop.menuShown(); }, 10000))
            return false;
        // The menu takes the keyboard just after it shows; a loaded machine (the
        // sanitizer build, two tests at once) may take a moment longer.
        QTest::qWait(500);
        desktop.keys(keys);
        return true;
    };
    const auto playlistWindow = [&] { return desktop.windowNamed("^プレイリスト$"); };

    // "常に手前に表示"
    QVERIFY(!desktop.keptAbove(mainWindow(run)));
    QVERIFY(chooseFromMenu({"Down", "Return"}));
    QVERIFY2(QTest::qWaitFor([&] { return desktop.keptAbove(mainWindow(run)); }, 10000),
             "the main window is not kept above");
    // "プレイリスト"
    QVERIFY(playlistWindow().isEmpty());
    QVERIFY(chooseFromMenu({"Down", "Down", "Down", "Return"}));
    QVERIFY(QTest::qWaitFor([&] { return !playlistWindow().isEmpty(); }, 10000));
    // "プレイリストを常に手前に表示"
    QVERIFY(!desktop.keptAbove(playlistWindow()));
    QVERIFY(chooseFromMenu({"Down", "Down", "Return"}));
    QVERIFY2(QTest::qWaitFor([&] { return desktop.keptAbove(playlistWindow()); }, 10000),
             "the playlist window is not kept above");

    // "曲操作" > "X  -  再生": the first song is heard at the volume it started with.
    QVERIFY(chooseFromMenu(QStringList(4, "Down") + QStringList{"Right", "Down", "Return"}));
    const int startStep = stateOf(run.state).value("WavVolume").toInt();
    QVERIFY2(QTest::qWaitFor([&] { return lastHeard(run.played).left != 0.0f; }, 10000),
             "nothing was heard");
    const PlayedFrame before = lastHeard(run.played);
    QVERIFY2(std::abs(before.left - levelsAt(startStep).left) < 1e-5f &&
                 std::abs(before.right - levelsAt(startStep).right) < 1e-5f,
             qPrintable(QStringLiteral("%1 %2").arg(before.left).arg(before.right)));
    // "音量" > "50%": step 16, heard at its gains once the buffers in flight played.
    QVERIFY(chooseFromMenu(QStringList(5, "Down") + QStringList{"Right"} + QStringList(5, "Down") +
                           QStringList{"Return"}));
    QVERIFY(QTest::qWaitFor([&] { return stateOf(run.state).value("WavVolume").toInt() == 16; },
                            10000));
    PlayedFrame after{};
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     after = lastHeard(run.played);
                     return after.left != 0.0f && std::abs(after.left - before.left) > 1e-5f;
                 },
                 10000),
             "the volume change was not heard");
    // Heard after / before on each channel, against the same ratio of the volume table.
    const PlayedFrame heard{after.left / before.left, after.right / before.right};
    const PlayedFrame table{levelsAt(16).left / levelsAt(startStep).left,
                            levelsAt(16).right / levelsAt(startStep).right};
    qInfo("heard levels %.6f / %.6f at step %d, %.6f / %.6f at step 16: ratios %.5f / %.5f, "
          "volume table %.5f / %.5f",
          double(before.left), double(before.right), startStep, double(after.left),
          double(after.right), double(heard.left), double(heard.right), double(table.left),
          double(table.right));
    QVERIFY2(std::abs(heard.left - table.left) < 1e-4f &&
                 std::abs(heard.right - table.right) < 1e-4f,
             qPrintable(QStringLiteral("%1 %2").arg(heard.left).arg(heard.right)));

    // "スキン" > the second skin: the main window takes its size.
    const QRect standard = windowOf(stateOf(run.state));
    QVERIFY(
        chooseFromMenu(QStringList(6, "Down") + QStringList{"Right", "Down", "Down", "Return"}));
    QVERIFY(QTest::qWaitFor(
        [&] { return stateOf(run.state).value("Skin_FilePath").toString() == "washi"; }, 10000));
    QVERIFY(windowOf(stateOf(run.state)).size() != standard.size());
    QVERIFY(QTest::qWaitFor([&] { return !mainWindow(run).isEmpty(); }, 10000));

    // The three dialogs open, and close by their keys.
    const struct {
        QStringList keys;
        const char* title;
        const char* closeKey;
    } dialogs[] = {
        {QStringList(7, "Down") + QStringList{"Return"}, "^Pelto 設定$", "Escape"},
        {QStringList(6, "Down") + QStringList{"Right", "Return"}, "^Pelto Skin情報$", "Escape"},
        {QStringList(8, "Down") + QStringList{"Return"}, "^Pelto バージョン情報$", "space"},
    };
    for (const auto& dialog : dialogs) {
        QVERIFY(chooseFromMenu(dialog.keys));
        QString id;
        QVERIFY2(QTest::qWaitFor(
                     [&] { return !(id = desktop.windowNamed(dialog.title)).isEmpty(); }, 10000),
                 dialog.title);
        desktop.xdotool({"windowactivate", "--sync", id});
        desktop.keys({dialog.closeKey});
        QVERIFY2(
            QTest::qWaitFor([&] { return desktop.windowNamed(dialog.title).isEmpty(); }, 10000),
            dialog.title);
    }

    beforeTheEnd();
    if (QTest::currentTestFailed())
        return;

    // "Pelto の終了": the unload writes everything and the program ends.
    QFile::remove(run.home.filePath("Pelto.m3u"));
    QVERIFY(chooseFromMenu(QStringList(9, "Down") + QStringList{"Return"}));
    QVERIFY(run.pelto->waitForFinished(10000));
    QCOMPARE(run.pelto->exitCode(), 0);
    const auto saved = configEntries(run.home.filePath("Pelto.cfg"));
    QCOMPARE(saved.value("AlwaysTop"), QString("1"));
    QCOMPARE(saved.value("AlwaysTopPlaylist"), QString("1"));
    QCOMPARE(saved.value("WavVolume"), QString("16"));
    QCOMPARE(saved.value("Skin_FilePath"), QString("washi"));
    QCOMPARE(saved.value("PlayList_Visible"), QString("1"));
    QCOMPARE(readFile(run.home.filePath("Pelto.m3u")), QByteArray("first.wav\r\nsecond.wav\r\n"));
}

void TestTrayX11::withoutATrayThePowerButtonOpensTheMenu() {
    Run run;
    QVERIFY(startPelto(run));
    QVERIFY2(QTest::qWaitFor([&] { return !mainWindow(run).isEmpty(); }, 10000),
             "the main window did not show");
    // The window is the desktop entry's: its class is the entry's StartupWMClass, so
    // the launcher's start-up notice and a dock's grouping find it.
    const QString startupClass = desktopEntryValue("StartupWMClass");
    QCOMPARE(startupClass, QString("Pelto"));
    QCOMPARE(m_desktop.run("xprop", {"-id", mainWindow(run), "WM_CLASS"}).trimmed(),
             "WM_CLASS(STRING) = \"pelto\", \"" + startupClass + "\"");

    // A click in the middle of the power button of the skin the program shows.
    const auto clickPowerButton = [&] {
        const QString skin = stateOf(run.state).value("Skin_FilePath").toString();
        const QPoint at = readSkin(QStringLiteral(PELTO_BINARY_DIR "/skin/") + skin,
                                   initialSkinState())[SkinElement::PowerSkin]
                              .geometry.center();
        m_desktop.xdotool({"mousemove", "--window", mainWindow(run), QString::number(at.x()),
                           QString::number(at.y()), "click", "1"});
    };
    walkTheMenu(run, clickPowerButton, [] {});
    if (QTest::currentTestFailed())
        return;
    const QStringList said = QString::fromLocal8Bit(run.pelto->readAllStandardError())
                                 .split(u'\n', Qt::SkipEmptyParts)
                                 .filter("system tray");
    QCOMPARE(said.size(), 1);
    QVERIFY(said[0].startsWith("Pelto: "));
}

void TestTrayX11::iconDocksAndTheMenuDrivesTheProgram() {
    Desktop& desktop = m_desktop;
    desktop.startTray();
    QString panel;
    QVERIFY(QTest::qWaitFor([&] { return !(panel = desktop.windowNamed("^panel$")).isEmpty(); },
                            110000));
    Run run;
    QVERIFY(startPelto(run));

    // The icon docks: a window of the program inside the panel.
    const auto docked = [&] {
        return desktop.run("xwininfo", {"-tree", "-id", panel}).contains("(\"pelto\" \"Pelto\")");
    };
    QVERIFY2(QTest::qWaitFor(docked, 110000), "the icon did not dock in the panel");
    for (const QString& id : desktop.windowsOfClass("pelto"))
        if (desktop.geometryOf(panel).contains(desktop.geometryOf(id)))
            run.icon = id;
    QVERIFY(!run.icon.isEmpty() && !mainWindow(run).isEmpty());
    const QPoint iconCentre = desktop.geometryOf(run.icon).center();
    const auto clickIcon = [&](const char* button) {
        desktop.xdotool({"mousemove", QString::number(iconCentre.x()),
                         QString::number(iconCentre.y()), "click", button});
    };

    // A right click opens the menu; a left click brings the minimised main window back.
    walkTheMenu(
        run, [&] { clickIcon("3"); },
        [&] {
            desktop.xdotool({"windowminimize", "--sync", mainWindow(run)});
            QVERIFY(QTest::qWaitFor([&] { return mainWindow(run).isEmpty(); }, 10000));
            clickIcon("1");
            QVERIFY2(QTest::qWaitFor([&] { return !mainWindow(run).isEmpty(); }, 10000),
                     "a left click did not show the main window");
        });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QString::fromLocal8Bit(run.pelto->readAllStandardError()).count("system tray"), 0);
}

QTEST_GUILESS_MAIN(TestTrayX11)
#include "tst_tray_x11.moc"
